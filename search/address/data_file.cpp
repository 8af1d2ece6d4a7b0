#include "search/address/data_file.h"

#include <cerrno>
#include <cstring>  // std::memchr, std::strerror

#include "platform/files/file.h"

namespace address {
namespace {

std::string CannotText(const char* what, const std::string& hostPath, int err) {
  return std::string("cannot ") + what + " " + hostPath + ": " + std::strerror(err);
}

}  // namespace

bool ReadDataFile(const std::string& hostPath, std::string& bytes, std::string& error) {
  namespace files = platform::files;
  bytes.clear();
  files::File file = files::OpenHostPath(hostPath, files::kRead | files::kRegularFile);
  if (!file.IsOpen()) {
    error = CannotText("open", hostPath, errno);
    return false;
  }
  long long size = file.Size();
  if (size < 0) {
    error = CannotText("read", hostPath, errno);
    return false;
  }
  if (size > kMaxDataFileBytes) {
    error = hostPath + ": " + std::to_string(size) + " bytes, more than a postal data file holds";
    return false;
  }
  bytes.resize(static_cast<size_t>(size) + 1);
  size_t used = 0;
  // Reads until the end even when the file grew after its size was taken,
  // but never past the bound.
  while (true) {
    if (used == bytes.size()) {
      if (static_cast<long long>(bytes.size()) > kMaxDataFileBytes) {
        error = hostPath + ": more than a postal data file holds";
        bytes.clear();
        return false;
      }
      bytes.resize(bytes.size() * 2);
    }
    long n = file.Read(bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      error = CannotText("read", hostPath, errno);
      bytes.clear();
      return false;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  bytes.resize(used);
  if (std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
    error = hostPath + ": holds NUL bytes; not a CSV file";
    bytes.clear();
    return false;
  }
  return true;
}

}  // namespace address
