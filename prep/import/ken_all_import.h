// Imports the postal authority's KEN_ALL file, either edition, into the
// master file "ALL_ZIP.TXT": quotes taken off, readings half-width with
// small kana full-size, split towns joined, nothing else changed. The
// output is written whole (platform/files/whole_file.h), so a failed import
// leaves the old master file as it was.
#pragma once

#include <string>
#include <string_view>

#include "prep/import/postal_row.h"

namespace prep::import {

struct ImportReport {
  Edition edition = Edition::kCp932;
  long linesRead = 0;
  long recordsWritten = 0;
  long townsJoined = 0;    // split towns made whole
  long rowsJoined = 0;     // the rows they were split over
  long townsLeftOpen = 0;  // towns whose parenthesis never closed
};

// Both paths are CP932 texts for the platform's file layer. Returns 0, or
// -1 with `error` (UTF-8) saying what went wrong and on which line.
int ImportKenAll(std::string_view inputPath, std::string_view outputPath, ImportReport& report, std::string& error);

}  // namespace prep::import
