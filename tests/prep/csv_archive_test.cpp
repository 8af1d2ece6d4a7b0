#include "prep/import/csv_archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>  // std::getenv, std::system
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;
using prep::import::ExtractCsv;
using prep::import::IsZipArchive;

namespace {

// Packs the files of the current directory into a zip archive, as the
// postal authority ships its CSV.
void Zip(const std::string& archive, const std::string& members) {
  std::string command = "'" YUBIN_CMAKE "' -E tar cf " + archive + " --format=zip " + members;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A zip archive of one member, written by libarchive: stored as it stands
// or deflated.
std::string ZipOf(const std::string& name, const std::string& content, bool stored) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  if (stored) archive_write_set_format_option(a, "zip", "compression", "store");
  std::vector<char> buffer(content.size() + 64 * 1024);
  size_t used = 0;
  archive_write_open_memory(a, buffer.data(), buffer.size(), &used);
  archive_entry* entry = archive_entry_new();
  archive_entry_set_pathname(entry, name.c_str());
  archive_entry_set_filetype(entry, AE_IFREG);
  archive_entry_set_perm(entry, 0644);
  archive_entry_set_size(entry, static_cast<la_int64_t>(content.size()));
  archive_write_header(a, entry);
  archive_write_data(a, content.data(), content.size());
  archive_entry_free(entry);
  archive_write_close(a);
  archive_write_free(a);
  return std::string(buffer.data(), used);
}

std::string HostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int Extract(const std::string& archive, std::string& error) {
  files::File in = files::Open(archive, files::kRead);
  EXPECT_TRUE(in.IsOpen()) << archive;
  return ExtractCsv(in, archive, "OUT.CSV", error);
}

}  // namespace

TEST(CsvArchive, TakesOutTheCsvAsItStands) {
  TempDir dir;
  std::string csv = "01101,\"060  \",\"0600000\"\r\n\x83\x5C,\"x\"\r\n";  // ソ: a 0x5C trail byte
  dir.Write("readme.txt", "not this one");
  dir.Write("KEN_ALL.CSV", csv);
  Zip("ken_all.zip", "readme.txt KEN_ALL.CSV");
  files::File in = files::Open("ken_all.zip", files::kRead);
  EXPECT_TRUE(IsZipArchive(in));
  std::string error;
  ASSERT_EQ(ExtractCsv(in, "ken_all.zip", "OUT.CSV", error), 0) << error;
  EXPECT_EQ(dir.Read("OUT.CSV"), csv);

  // A CSV file is no archive, and is left where it was read.
  files::File plain = files::Open("KEN_ALL.CSV", files::kRead);
  EXPECT_FALSE(IsZipArchive(plain));
  char first = 0;
  EXPECT_EQ(plain.Read(&first, 1), 1);
  EXPECT_EQ(first, '0');
}

TEST(CsvArchive, RefusesWhatHoldsNoCsvAndLeavesNoOutput) {
  TempDir dir;
  dir.Write("readme.txt", "text");
  Zip("other.zip", "readme.txt");
  std::string error;
  EXPECT_EQ(Extract("other.zip", error), -1);
  EXPECT_EQ(error, "other.zip holds no CSV file");

  // An archive cut short, as by a download that broke off.
  dir.Write("KEN_ALL.CSV", std::string(200000, 'x'));
  Zip("whole.zip", "KEN_ALL.CSV");
  dir.Write("cut.zip", dir.Read("whole.zip").substr(0, 300));
  EXPECT_EQ(Extract("cut.zip", error), -1);
  EXPECT_TRUE(error.starts_with("cannot read cut.zip, member KEN_ALL.CSV: ")) << error;
  EXPECT_FALSE(dir.Exists("OUT.CSV"));
}

TEST(CsvArchive, AFailingWriteSaysWhyAndRemovesTheOutput) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", std::string(100000, 'x'));
  Zip("ken_all.zip", "KEN_ALL.CSV");
  platform::ScopedOverride calls(files::Sys());
  files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  std::string error;
  EXPECT_EQ(Extract("ken_all.zip", error), -1);
  EXPECT_EQ(error, "cannot write OUT.CSV: No space left on device");
  EXPECT_FALSE(dir.Exists("OUT.CSV"));
}

TEST(CsvArchive, AMemberWhoseCrcFailsIsRefusedWithArchiveMemberAndReason) {
  TempDir dir;
  std::string csv = "01101,\"060  \",\"0600061\",\"x\"\r\n";
  std::string zip = ZipOf("KEN_ALL.CSV", csv, true);
  dir.Write("good.zip", zip);
  std::string error;
  ASSERT_EQ(Extract("good.zip", error), 0) << error;
  EXPECT_EQ(dir.Read("OUT.CSV"), csv);

  // One digit of the stored data changed: the archive still reads, only
  // its CRC tells.
  size_t code = zip.find("0600061");
  ASSERT_NE(code, std::string::npos);
  zip[code + 6] = '9';
  dir.Write("changed.zip", zip);
  EXPECT_EQ(Extract("changed.zip", error), -1);
  EXPECT_TRUE(error.starts_with("cannot read changed.zip, member KEN_ALL.CSV: ")) << error;
  EXPECT_NE(error.find("CRC"), std::string::npos) << error;
  EXPECT_FALSE(dir.Exists("OUT.CSV"));
}

// Single bits flipped all over an archive: each flip is refused or gives
// the very bytes the archive holds, never other content. Every byte of a
// small deflated archive of the bundled data, and a few spread over the
// bundled ken_all.zip itself.
TEST(CsvArchive, EveryFlippedBitIsRefusedOrGivesTheSameContent) {
  TempDir dir;
  const char* source = std::getenv("YUBIN_SOURCE_DIR");
  std::string data = std::string(source ? source : ".") + "/data/";
  std::string error;
  auto sweep = [&](const std::string& zip, const std::string& content, size_t flips) {
    size_t refused = 0;
    std::string changed;  // the flips that gave other content
    for (size_t k = 0; k < flips; ++k) {
      size_t at = flips == zip.size() ? k : k * (zip.size() - 1) / (flips - 1);
      std::string flipped = zip;
      flipped[at] = static_cast<char>(flipped[at] ^ (1 << (k % 8)));
      // Fresh files each time: truncating one costs a flush to disk.
      std::filesystem::remove("flipped.zip");
      dir.Write("flipped.zip", flipped);
      if (Extract("flipped.zip", error) != 0)
        ++refused;
      else if (dir.Read("OUT.CSV") != content)
        changed += " " + std::to_string(at) + "." + std::to_string(k % 8);
      std::filesystem::remove("OUT.CSV");
    }
    EXPECT_EQ(changed, "") << "byte.bit flips of " << zip.size() << " bytes accepted with other content";
    EXPECT_GT(refused, 0u);
  };
  std::string kenAll = HostFile(data + "ken_all.zip");
  dir.Write("ken_all.zip", kenAll);
  ASSERT_EQ(Extract("ken_all.zip", error), 0) << error;
  std::string csv = dir.Read("OUT.CSV");
  std::string rows = csv.substr(0, csv.rfind('\n', 8000) + 1);
  std::string small = ZipOf("KEN_ALL.CSV", rows, false);
  sweep(small, rows, small.size());
  sweep(kenAll, csv, 6);
}
