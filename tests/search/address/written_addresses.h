// Written addresses made from the postal data, each with the code it must
// find: the rows of the UTF-8 edition of KEN_ALL written the ways people
// write them (kanji numerals, digits in names, block notation, without
// prefecture or county, 大字, spaces, hiragana readings, a floor of a big
// building...). Only rows the written text decides are used: a town whose
// rows the data tells apart by nothing a written address holds is left out.
// Shared by the lookup's test and its benchmark.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace address::testing {

struct WrittenAddress {
  std::string written;   // UTF-8
  std::string code;      // the code it must find
  std::string notation;  // how it is written, for the report
};

// `count` addresses (fewer when the data has too few rows), drawn with
// `seed` so that each run makes the same ones.
// The fields of one CSV line of the postal data (quotes taken off).
std::vector<std::string> Fields(std::string_view line);

std::vector<WrittenAddress> MakeWrittenAddresses(std::string_view utf8KenAll, size_t count, unsigned seed);

}  // namespace address::testing
