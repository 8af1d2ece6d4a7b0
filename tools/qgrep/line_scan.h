// Reads one file through a bounded buffer and hands each line that matches
// the pattern to the caller, as it stands. Lines end at LF (a CR before it
// belongs to the line end); a last line without LF counts. A line is only
// ever looked at whole, so a two-byte character is never split, wherever
// the buffer boundaries fall. Does not open files or write output.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/file.h"
#include "tools/qgrep/pattern.h"
#include "tools/qgrep/prefilter.h"

namespace qgrep {

struct ScanReport {
  long matched = 0;        // lines handed on
  long tooLong = 0;        // lines longer than the buffer, not searched
  int readError = 0;       // errno of a failed read; the scan stopped there
  bool tooCostly = false;  // the pattern could not tell a line; the scan stopped there
};

class LineScanner {
 public:
  static constexpr size_t kDefaultCapacity = 1 << 20;

  // `prefilter` may be null: then every line is folded and matched. The
  // buffer holds `capacity` bytes, which is also the longest line searched.
  LineScanner(Pattern& pattern, const Prefilter* prefilter, size_t capacity = kDefaultCapacity);

  // Reads `file` to its end; `emit` gets every matching line without its
  // line end.
  ScanReport Scan(platform::files::File& file, const std::function<void(std::string_view)>& emit);

 private:
  // Searches the lines of block[0, n), which ends with LF unless it is the
  // end of the file. False when the pattern could not tell a line.
  bool ScanBlock(const char* block, size_t n, const std::function<void(std::string_view)>& emit, ScanReport& report);
  MatchResult MatchLine(std::string_view line);

  Pattern& pattern_;
  const Prefilter* prefilter_;
  std::unique_ptr<char[]> buffer_;  // not cleared: read() fills what is used
  size_t capacity_;
  std::string folded_;  // FoldCp932's buffer
};

}  // namespace qgrep
