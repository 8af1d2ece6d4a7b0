#include "tools/qgrep/output.h"

#include <unistd.h>  // getpid, STDOUT_FILENO

#include <cerrno>
#include <cstring>  // std::strerror

#include "platform/files/file.h"
#include "platform/files/system_calls.h"

namespace qgrep {
namespace {

constexpr size_t kFlushAt = 64 * 1024;

std::string Why(const std::string& what, const std::string& path, int err) {
  return "cannot " + what + " " + path + ": " + std::strerror(err);
}

}  // namespace

Output::~Output() { Abandon(); }

bool Output::OpenFile(const std::string& path, std::string& error) {
  // A hidden name beside the target: the same file system, so the rename
  // is atomic, and never matched by a later run's wildcards.
  size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = directory + "." + name + ".qgrep-" + std::to_string(getpid()) +
                            (attempt ? "-" + std::to_string(attempt) : "");
    file_ = platform::files::OpenHostPath(
        temporary, platform::files::kWrite | platform::files::kCreate | platform::files::kExclusive);
    if (file_.IsOpen()) {
      target_ = path;
      temporary_ = temporary;
      return true;
    }
    if (errno != EEXIST) {
      error = Why("write", path, errno);
      return false;
    }
  }
  error = Why("write", path, EEXIST);
  return false;
}

void Output::Flush() {
  if (buffer_.empty()) return;
  if (!writeError_) {
    long written = target_.empty() ? platform::files::Write(STDOUT_FILENO, buffer_) : file_.Write(buffer_);
    if (written < 0) writeError_ = errno;
  }
  buffer_.clear();
}

void Output::WriteLine(std::string_view prefix, std::string_view line) {
  buffer_ += prefix;
  buffer_ += line;
  buffer_ += "\r\n";
  if (buffer_.size() >= kFlushAt) Flush();
}

bool Output::Finish(std::string& error) {
  Flush();
  if (target_.empty()) {
    if (writeError_) error = Why("write", "standard output", writeError_);
    return writeError_ == 0;
  }
  if (file_.Close() != 0 && !writeError_) writeError_ = errno;
  if (!writeError_ && platform::files::Sys().rename(temporary_.c_str(), target_.c_str()) != 0)
    writeError_ = errno;
  if (writeError_) {
    error = Why("write", target_, writeError_);
    Abandon();
    return false;
  }
  temporary_.clear();
  return true;
}

void Output::Abandon() {
  if (temporary_.empty()) return;
  file_.Close();
  platform::files::Sys().unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace qgrep
