#include "tools/qgrep/output.h"

#include <unistd.h>  // STDOUT_FILENO

#include <cerrno>
#include <cstring>  // std::strerror

#include "platform/files/file.h"

namespace qgrep {
namespace {

constexpr size_t kFlushAt = 64 * 1024;

std::string Why(const std::string& what, const std::string& path, int err) {
  return "cannot " + what + " " + path + ": " + std::strerror(err);
}

}  // namespace

Output::~Output() { Abandon(); }

bool Output::OpenFile(const std::string& path, std::string& error) {
  if (file_.BeginHostPath(path) != 0) {
    error = Why("write", path, errno);
    return false;
  }
  target_ = path;
  return true;
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
  if (!writeError_ && file_.Commit() != 0) writeError_ = errno;
  if (writeError_) {
    error = Why("write", target_, writeError_);
    Abandon();
    return false;
  }
  return true;
}

void Output::Abandon() { file_.Abandon(); }

}  // namespace qgrep
