// Postal data for the update tests and bench, made from the bundled data:
// the first lines of its CSV files, months of changes to them (records
// deleted, added, and changed as a deletion plus an addition), and zip
// archives of any of it, written with libarchive.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace postal_months {

// The lines (without endings) of the first CSV member of a zip archive.
inline std::vector<std::string> ArchiveLines(const std::string& zipPath, size_t most) {
  std::vector<std::string> lines;
  archive* reader = archive_read_new();
  archive_read_support_format_zip(reader);
  archive_entry* entry = nullptr;
  if (archive_read_open_filename(reader, zipPath.c_str(), 1 << 16) == ARCHIVE_OK &&
      archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
    std::string text, line;
    char buffer[1 << 16];
    for (la_ssize_t n; (n = archive_read_data(reader, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    for (size_t start = 0; start < text.size() && lines.size() < most;) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
  }
  archive_read_free(reader);
  return lines;
}

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// A zip archive holding one member, as bytes.
inline std::string ZipOf(const std::string& member, const std::string& bytes, const std::string& scratch) {
  archive* writer = archive_write_new();
  archive_write_set_format_zip(writer);
  archive_write_open_filename(writer, scratch.c_str());
  archive_entry* entry = archive_entry_new();
  archive_entry_set_pathname(entry, member.c_str());
  archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
  archive_entry_set_filetype(entry, AE_IFREG);
  archive_entry_set_perm(entry, 0644);
  archive_write_header(writer, entry);
  archive_write_data(writer, bytes.data(), bytes.size());
  archive_entry_free(entry);
  archive_write_close(writer);
  archive_write_free(writer);
  std::ifstream in(scratch, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Change {
  std::vector<std::string> deletions, additions;
};

// A line with its third field (the postal code, quoted) replaced.
inline std::string WithCode(const std::string& line, const std::string& code) {
  size_t first = line.find(',');
  size_t second = line.find(',', first + 1);
  size_t third = line.find(',', second + 1);
  return line.substr(0, second + 1) + "\"" + code + "\"" + line.substr(third);
}

// `count` records deleted, `count` changed (a new postal code) and `count`
// added (a copy of a record under a new postal code), spread over the
// lines; `month` keeps the new codes of one month apart from another's.
inline Change MakeChange(const std::vector<std::string>& lines, int month, size_t count) {
  Change change;
  size_t stride = lines.size() / (3 * count + 1);
  for (size_t i = 0; i < 3 * count; ++i) {
    const std::string& line = lines[(i + 1) * stride + static_cast<size_t>(month)];
    std::string code = std::to_string(9000000 + month * 10000 + static_cast<int>(i));
    if (i % 3 == 0) change.deletions.push_back(line);
    if (i % 3 == 1) change.deletions.push_back(line), change.additions.push_back(WithCode(line, code));
    if (i % 3 == 2) change.additions.push_back(WithCode(line, code));
  }
  return change;
}

// The first field of a line: the local government code the file is ordered by.
inline std::string Code(const std::string& line) { return line.substr(0, line.find(',')); }

// The data after a change: the deletions taken out, each addition placed
// after the last line whose code is not greater.
inline std::vector<std::string> Applied(std::vector<std::string> lines, const Change& change) {
  for (const std::string& gone : change.deletions) lines.erase(std::find(lines.begin(), lines.end(), gone));
  for (const std::string& added : change.additions) {
    auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return Code(l) > Code(added); });
    lines.insert(at, added);
  }
  return lines;
}

}  // namespace postal_months
