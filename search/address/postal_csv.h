// Reads the postal authority's CSV files line by line: quotes taken off,
// either edition (CP932 or UTF-8) told apart. Knows nothing of what the
// fields mean: see address_table.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace address {

enum class CsvEncoding { kCp932, kUtf8 };

// UTF-8 when the first line holding a byte above 0x7F is valid UTF-8, else
// CP932. Text with no such byte counts as CP932, which it also is.
CsvEncoding GuessEncoding(std::string_view text);

// Splits one line (without its line end) at the commas outside quotes; a
// quoted field loses its quotes and reads "" as one quote. False for a
// quote left open.
bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields);

// Calls f(line, lineNumber) for each line of `text`, without its "\r\n" or
// "\n"; a byte-order mark at the start is skipped.
template <typename F>
void ForEachLine(std::string_view text, F f) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  long number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    f(line, ++number);
  }
}

}  // namespace address
