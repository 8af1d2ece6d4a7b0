// Imports the postal authority's KEN_ALL file, either edition, into the
// master file "ALL_ZIP.TXT": quotes taken off, readings half-width with
// small kana full-size, split towns joined, nothing else changed. The
// output is written whole (platform/files/whole_file.h), so a failed import
// leaves the old master file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "prep/import/postal_row.h"
#include "prep/import/split_towns.h"

namespace prep::import {

struct ImportReport {
  Edition edition = Edition::kCp932;
  long linesRead = 0;
  long recordsWritten = 0;
  long townsJoined = 0;    // split towns made whole
  long rowsJoined = 0;     // the rows they were split over
  long townsLeftOpen = 0;  // towns whose parenthesis never closed
};

// The import a line at a time, its records appended to a text: for the
// importer below and for those who have the rows in memory. A town split
// over rows is held until its last row has come (or Finish).
class KenAllConverter {
 public:
  // `inputPath` (CP932) names the input in errors. Without `edition` it is
  // told from a UTF-8 byte order mark on line 1, else from the first line
  // that holds a byte above 0x7F.
  explicit KenAllConverter(std::string_view inputPath, std::optional<Edition> edition = std::nullopt);

  // One line without its ending; `lineEnd` is the ending the record keeps.
  // False, with `error` naming the line, when the row is no postal row.
  bool AddLine(std::string_view line, std::string_view lineEnd, long number, std::string& records, std::string& error);
  // Hands over a town still waiting for its last row.
  bool Finish(std::string& records, std::string& error);

  Edition edition() const { return edition_.value_or(Edition::kCp932); }
  long recordsWritten() const { return recordsWritten_; }
  const SplitTownJoiner& joiner() const { return joiner_; }

 private:
  bool TakeReady(std::string& records, std::string& error);

  std::string inputPath_;
  std::optional<Edition> edition_;
  SplitTownJoiner joiner_;
  std::vector<std::string> fields_;
  std::vector<Row> ready_;
  long recordsWritten_ = 0;
};

// Both paths are CP932 texts for the platform's file layer. Returns 0, or
// -1 with `error` (UTF-8) saying what went wrong and on which line.
int ImportKenAll(std::string_view inputPath, std::string_view outputPath, ImportReport& report, std::string& error);

}  // namespace prep::import
