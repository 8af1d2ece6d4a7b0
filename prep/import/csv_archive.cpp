#include "prep/import/csv_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstdio>   // SEEK_SET, SEEK_CUR
#include <cstring>  // std::memcmp, std::strerror
#include <memory>
#include <vector>

namespace prep::import {

namespace files = platform::files;

namespace {

// The postal CSV files are tens of megabytes; an archive that unpacks to
// far more is none of them, and would only fill the disk.
constexpr long long kMaxCsvBytes = 1LL << 30;

// What libarchive reads through: the File, with a buffer of its own.
struct Source {
  files::File* file;
  std::vector<char> buffer = std::vector<char>(64 * 1024);
};

la_ssize_t ReadBlock(archive* a, void* data, const void** block) {
  auto* source = static_cast<Source*>(data);
  long n = source->file->Read(source->buffer.data(), source->buffer.size());
  if (n < 0) {
    archive_set_error(a, errno, "%s", std::strerror(errno));
    return -1;
  }
  *block = source->buffer.data();
  return n;
}

la_int64_t SeekTo(archive* a, void* data, la_int64_t offset, int whence) {
  long long at = static_cast<Source*>(data)->file->Seek(offset, whence);
  if (at < 0) archive_set_error(a, errno, "%s", std::strerror(errno));
  return at < 0 ? ARCHIVE_FATAL : at;
}

la_int64_t SkipBytes(archive* a, void* data, la_int64_t request) {
  return SeekTo(a, data, request, SEEK_CUR) < 0 ? 0 : request;
}

bool IsCsvName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view tail = name.substr(name.size() - 4);
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return tail[0] == '.' && lower(tail[1]) == 'c' && lower(tail[2]) == 's' && lower(tail[3]) == 'v';
}

// A member's name for a message: the archive may put control bytes into it.
std::string Printable(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return out;
}

std::string ArchiveError(std::string_view archiveName, archive* a) {
  const char* reason = archive_error_string(a);
  return "cannot read " + std::string(archiveName) + ": " + (reason ? reason : "not a zip archive");
}

// Copies the current member's data to `out`. A warning counts as a
// failure: libarchive warns of a member whose CRC does not match, and such
// data is not the postal data it claims to be.
int CopyMember(archive* a, std::string_view archiveName, std::string_view memberName, files::File& out,
               std::string_view outputPath, std::string& error) {
  long long written = 0;
  const void* block = nullptr;
  size_t size = 0;
  la_int64_t offset = 0;
  for (;;) {
    int status = archive_read_data_block(a, &block, &size, &offset);
    if (status == ARCHIVE_EOF) return 0;
    if (status != ARCHIVE_OK) {
      const char* reason = archive_error_string(a);
      error = "cannot read " + std::string(archiveName) + ", member " + std::string(memberName) + ": " +
              (reason ? reason : "its data is damaged");
      return -1;
    }
    written += static_cast<long long>(size);
    if (written > kMaxCsvBytes) {
      error = "cannot read " + std::string(archiveName) + ": its CSV file unpacks to more than 1 GiB";
      return -1;
    }
    if (size > 0 && out.Write(block, size) < 0) {
      error = files::ErrorText("write", outputPath, errno);
      return -1;
    }
  }
}

}  // namespace

bool IsZipArchive(files::File& file) {
  char start[4] = {};
  long n = file.Read(start, sizeof start);
  file.Seek(0, SEEK_SET);
  // A local file header, or the end record of an empty archive.
  return n == 4 && (std::memcmp(start, "PK\3\4", 4) == 0 || std::memcmp(start, "PK\5\6", 4) == 0);
}

int ExtractCsv(files::File& archiveFile, std::string_view archiveName, std::string_view outputPath,
               std::string& error) {
  std::unique_ptr<archive, int (*)(archive*)> a(archive_read_new(), archive_read_free);
  Source source{&archiveFile};
  archive_read_support_format_zip(a.get());
  archive_read_set_callback_data(a.get(), &source);
  archive_read_set_read_callback(a.get(), ReadBlock);
  archive_read_set_seek_callback(a.get(), SeekTo);
  archive_read_set_skip_callback(a.get(), SkipBytes);
  if (archive_read_open1(a.get()) != ARCHIVE_OK) {
    error = ArchiveError(archiveName, a.get());
    return -1;
  }
  archive_entry* entry = nullptr;
  for (;;) {
    int status = archive_read_next_header(a.get(), &entry);
    if (status == ARCHIVE_EOF) {
      error = std::string(archiveName) + " holds no CSV file";
      return -1;
    }
    // A header with a warning (a name that cannot be read as written, say)
    // is as untrustworthy as its data.
    if (status != ARCHIVE_OK) {
      error = ArchiveError(archiveName, a.get());
      return -1;
    }
    const char* name = archive_entry_pathname(entry);
    if (archive_entry_filetype(entry) == AE_IFREG && name != nullptr && IsCsvName(name)) break;
  }
  files::File out =
      files::Open(outputPath, files::kWrite | files::kCreate | files::kTruncate | files::kRegularFile, 0666);
  if (!out.IsOpen()) {
    error = files::ErrorText("create", outputPath, errno);
    return -1;
  }
  std::string member = Printable(archive_entry_pathname(entry));
  int result = CopyMember(a.get(), archiveName, member, out, outputPath, error);
  if (out.Close() != 0 && result == 0) {
    error = files::ErrorText("write", outputPath, errno);
    result = -1;
  }
  if (result != 0) files::Remove(outputPath);
  return result;
}

}  // namespace prep::import
