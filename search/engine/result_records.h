// The rules that turn index records into result text: which records fit a
// query, how a kept record is shown, and how the text is cut into pages.
// Reads no file and shows nothing.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "search/engine/search_state.h"

namespace search::engine {

// The five fields of an index record: town kana, prefecture kana, postal
// code, city kana, kanji town name.
using RecordFields = std::array<std::string, 5>;

// True when the record passes the prefecture, ward, rough-town and
// narrowing tests of the query in the state.
bool RecordFits(const SearchState& query, const RecordFields& fields);

// Appends the two display lines of a kept record, each ended by CR LF.
void AppendDisplayForm(std::string& text, const RecordFields& fields);

// The pages of a display text: one when it is shorter than kPageBytes,
// else length / kPageBytes + 1. A cut lies at the multiple of kPageBytes,
// or a byte before it where it would split a two-byte character, so the
// first page is at most kPageBytes long and a later one one byte longer.
std::vector<std::string> CutPages(std::string_view text);

}  // namespace search::engine
