#include "prep/import/csv_archive.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>  // std::getenv, std::system
#include <string>

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
  EXPECT_TRUE(error.starts_with("cannot read cut.zip: ")) << error;
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
