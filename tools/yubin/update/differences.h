// The monthly difference files applied to a CSV file of the postal
// authority (KEN_ALL.CSV, JIGYOSYO.CSV): a month's deletions first, then its
// additions, each line compared whole. A deletion that names no line, or
// an addition that is already there, means the files do not belong to the
// data at hand: the caller then takes the full files instead. Additions go
// where the authority's full file has them, after the last line whose local
// government code (the first field) is not greater, as the full file is
// ordered by that code. Does not download or unpack anything.
#pragma once

#include <string>
#include <vector>

namespace yubin::update {

// A CSV file as lines without their endings, and the ending its lines use.
struct CsvLines {
  std::vector<std::string> lines;
  std::string ending = "\r\n";
};

// Reads a host file. False, with `error`, when it cannot be read.
bool ReadCsvLines(const std::string& path, CsvLines& csv, std::string& error);

// Writes the lines, each with the ending, to a host file.
bool WriteCsvLines(const std::string& path, const CsvLines& csv, std::string& error);

// Applies one month's deletions and then its additions. `what` names the
// month's files in the error. False, with `error` and `csv` as it was
// before, when one does not apply.
bool ApplyDifference(CsvLines& csv, const std::vector<std::string>& deletions,
                     const std::vector<std::string>& additions, const std::string& what, std::string& error);

}  // namespace yubin::update
