#include "tools/yubin/update/differences.h"

#include <algorithm>  // std::stable_sort
#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <utility>  // std::exchange

#include "platform/files/file.h"
#include "platform/files/whole_file.h"

namespace yubin::update {

namespace files = platform::files;

namespace {

// The first field, quotes and all: the codes are of one width, so their
// texts sort as the numbers do.
std::string_view Code(std::string_view line) { return line.substr(0, line.find(',')); }

}  // namespace

bool ReadCsvLines(const std::string& path, CsvLines& csv, std::string& error) {
  files::File in = files::OpenHostPath(path, files::kRead | files::kRegularFile);
  if (!in.IsOpen()) {
    error = files::HostPathErrorText("open", path, errno);
    return false;
  }
  std::string text;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    long n = in.Read(buffer.data(), buffer.size());
    if (n < 0) {
      error = files::HostPathErrorText("read", path, errno);
      return false;
    }
    if (n == 0) break;
    text.append(buffer.data(), static_cast<size_t>(n));
  }
  csv.lines.clear();
  size_t first = text.find('\n');
  csv.ending = first != std::string::npos && first > 0 && text[first - 1] == '\r' ? "\r\n" : "\n";
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    if (stop > start) csv.lines.emplace_back(text, start, stop - start);
    start = end + 1;
  }
  return true;
}

bool WriteCsvLines(const std::string& path, const CsvLines& csv, std::string& error) {
  size_t size = 0;
  for (const std::string& line : csv.lines) size += line.size() + csv.ending.size();
  std::string text;
  text.reserve(size);
  for (const std::string& line : csv.lines) {
    text += line;
    text += csv.ending;
  }
  // Written whole, so that a failed write never leaves half a file.
  if (files::WriteWholeHostFile(path, text, 0644) != 0) {
    error = files::HostPathErrorText("write", path, errno);
    return false;
  }
  return true;
}

bool ApplyDifference(CsvLines& csv, const std::vector<std::string>& deletions,
                     const std::vector<std::string>& additions, const std::string& what, std::string& error) {
  // Where each line stands last, and where it stood before that: a line
  // may stand more than once.
  constexpr size_t kNone = static_cast<size_t>(-1);
  std::unordered_map<std::string_view, size_t> last;
  last.reserve(csv.lines.size());
  std::vector<size_t> before(csv.lines.size(), kNone);
  for (size_t i = 0; i < csv.lines.size(); ++i) {
    auto [entry, isNew] = last.try_emplace(csv.lines[i], i);
    if (!isNew) before[i] = std::exchange(entry->second, i);
  }
  std::vector<bool> deleted(csv.lines.size(), false);
  for (size_t i = 0; i < deletions.size(); ++i) {
    auto found = last.find(deletions[i]);
    if (found == last.end() || found->second == kNone) {
      error = what + ": deletion " + std::to_string(i + 1) + " names no record of the data at hand";
      return false;
    }
    deleted[found->second] = true;
    found->second = before[found->second];
  }
  for (size_t i = 0; i < additions.size(); ++i) {
    auto found = last.find(additions[i]);
    if (found != last.end() && found->second != kNone) {
      error = what + ": addition " + std::to_string(i + 1) + " is already in the data at hand";
      return false;
    }
  }
  std::vector<const std::string*> adding;
  for (const std::string& line : additions) adding.push_back(&line);
  std::stable_sort(adding.begin(), adding.end(),
                   [](const std::string* a, const std::string* b) { return Code(*a) < Code(*b); });
  std::vector<std::string> merged;
  merged.reserve(csv.lines.size() - deletions.size() + additions.size());
  size_t next = 0;
  for (size_t i = 0; i < csv.lines.size(); ++i) {
    while (next < adding.size() && Code(*adding[next]) < Code(csv.lines[i])) merged.push_back(*adding[next++]);
    if (!deleted[i]) merged.push_back(std::move(csv.lines[i]));
  }
  while (next < adding.size()) merged.push_back(*adding[next++]);
  csv.lines = std::move(merged);
  return true;
}

}  // namespace yubin::update
