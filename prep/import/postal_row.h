// Turns one row of the postal authority's CSV, split into fields, into the
// bytes of a master record: CP932, readings in half-width katakana with
// small kana written full-size. Handles both editions the authority
// publishes. Does not join split towns: see split_towns.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prep::import {

// The editions of KEN_ALL: CP932 with half-width readings, or UTF-8 with
// full-width readings.
enum class Edition { kCp932, kUtf8 };

inline constexpr size_t kFieldCount = 15;
inline constexpr size_t kLocalGovernmentCode = 0;  // field 1
inline constexpr size_t kPostalCode = 2;           // field 3
inline constexpr size_t kFirstReading = 3;         // fields 4 to 6, counted from 0
inline constexpr size_t kLastReading = 5;
inline constexpr size_t kCityReading = 4;  // field 5
inline constexpr size_t kTownReading = 5;  // field 6
inline constexpr size_t kTownKanji = 8;    // field 9

// Guesses the edition of a line that holds bytes above 0x7F: UTF-8 when the
// whole line is valid UTF-8, else CP932.
Edition GuessEdition(std::string_view line);

// Converts the fields of one row in place. Returns false with `error`
// (UTF-8) when a field holds bytes its edition cannot decode or a character
// CP932 cannot store.
bool ToMasterFields(Edition edition, std::vector<std::string>& fields, std::string& error);

// Checks what every postal row holds: a local government code of five
// digits (field 1), a postal code of seven (field 3), and the prefecture,
// city and town, each as reading and in kanji (fields 4 to 9), none of them
// empty. Returns false with `error` (UTF-8) naming the first field that
// fails. A row that fails is no postal data, whatever else it holds.
bool CheckRecordFields(const std::vector<std::string>& fields, std::string& error);

// Checks the bytes of a master record that name its index file: the city
// reading's first byte and the town reading's first two. Returns false with
// `error` (UTF-8) when one of them is a "/" or "\" of its own, which would
// split the index file's path, or when they end inside a two-byte character
// (a reading beginning "，" or "ｱ，"), which would name a file after half a
// character. Only a hand-made file or a full-width sign that keeps its
// width holds such a reading; the postal data never does.
bool CheckIndexKeys(const std::vector<std::string>& fields, std::string& error);

}  // namespace prep::import
