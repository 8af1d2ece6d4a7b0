#include "tools/qgrep/line_scan.h"

#include <algorithm>  // std::min
#include <cerrno>
#include <cstring>  // memchr, memrchr, memmove

#include "platform/files/file.h"
#include "tools/qgrep/fold.h"

namespace qgrep {
namespace {

// Bytes asked for per read: small enough that what was read is still in
// the processor's cache when it is searched. Only a line longer than this
// makes the buffer fill further.
constexpr size_t kReadSize = 128 * 1024;

}  // namespace

LineScanner::LineScanner(Pattern& pattern, const Prefilter* prefilter, size_t capacity)
    : pattern_(pattern), prefilter_(prefilter), buffer_(new char[capacity]), capacity_(capacity) {}

MatchResult LineScanner::MatchLine(std::string_view line) {
  if (pattern_.MatchesEveryLine()) return MatchResult::kMatch;
  return pattern_.Match(FoldCp932(line, folded_));
}

bool LineScanner::ScanBlock(const char* block, size_t n, const std::function<void(std::string_view)>& emit,
                            ScanReport& report) {
  size_t pos = 0;  // always the start of a line
  while (pos < n) {
    size_t hit = pos;
    if (prefilter_) {
      hit = pos + prefilter_->Find(block + pos, n - pos);
      if (hit == n) return true;
    }
    const void* before = hit > pos ? memrchr(block + pos, '\n', hit - pos) : nullptr;
    size_t start = before ? static_cast<size_t>(static_cast<const char*>(before) - block) + 1 : pos;
    const void* lf = std::memchr(block + hit, '\n', n - hit);
    size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - block) : n;
    pos = end + 1;
    std::string_view line(block + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    MatchResult result = MatchLine(line);
    if (result == MatchResult::kTooCostly) {
      report.tooCostly = true;
      return false;
    }
    if (result == MatchResult::kMatch) {
      ++report.matched;
      emit(line);
    }
  }
  return true;
}

ScanReport LineScanner::Scan(platform::files::File& file, const std::function<void(std::string_view)>& emit) {
  ScanReport report;
  long long size = file.Size();
  if (size > 0) pattern_.AddText(static_cast<size_t>(size));
  char* buffer = buffer_.get();
  const size_t capacity = capacity_;
  size_t filled = 0;
  bool skipping = false;  // inside a line longer than the buffer
  while (true) {
    long got = file.Read(buffer + filled, std::min(capacity - filled, kReadSize));
    if (got < 0) {
      report.readError = errno;
      return report;
    }
    if (got == 0) {
      if (!skipping && filled > 0) ScanBlock(buffer, filled, emit, report);
      return report;
    }
    size_t fresh = filled;
    filled += static_cast<size_t>(got);
    size_t begin = 0;
    if (skipping) {
      const void* lf = std::memchr(buffer + fresh, '\n', filled - fresh);
      if (!lf) {
        filled = 0;
        continue;
      }
      begin = static_cast<size_t>(static_cast<const char*>(lf) - buffer) + 1;
      skipping = false;
    }
    const void* last = filled > begin ? memrchr(buffer + begin, '\n', filled - begin) : nullptr;
    if (last) {
      size_t end = static_cast<size_t>(static_cast<const char*>(last) - buffer) + 1;
      if (!ScanBlock(buffer + begin, end - begin, emit, report)) return report;
      begin = end;
    }
    size_t rest = filled - begin;
    if (rest == capacity) {
      ++report.tooLong;
      skipping = true;
      filled = 0;
      continue;
    }
    std::memmove(buffer, buffer + begin, rest);
    filled = rest;
  }
}

}  // namespace qgrep
