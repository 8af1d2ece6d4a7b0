// The working state of one search dialog: the query letters, the result
// text and its pages, the data directory, the open result file, the search
// times and the re-search flag and counter. The transfer operations move the
// bound fields to and from a DialogSide; the search itself is elsewhere.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/files/file.h"
#include "search/engine/dialog_side.h"

namespace search::engine {

// Page size of the result box, in bytes of display text.
inline constexpr size_t kPageBytes = 51200;

// Limits of the read-back checks, in CP932 bytes as every length check of
// the platform counts. A query letter is one byte; a result page is at most
// kPageBytes, so a page always passes.
inline constexpr size_t kLetterMaxBytes = 1;
inline constexpr size_t kResultMaxBytes = 100000;

struct SearchState {
  // The query, as entered on the keypad (one-byte letters, CP932).
  std::string PrefectureLetter;
  std::string CityLetter;
  std::string WardLetter;
  std::string RoughTownLetter;
  std::string DetailFirstLetter;
  std::string DetailSecondLetter;
  std::string NarrowingString;

  // The text in the result box: one page, or the whole display text while a
  // result is being built.
  std::string ResultText;

  // The four pages of the current result, PageText[1] to PageText[4];
  // PageText[0] is not used, so that the index is the page number.
  std::array<std::string, 5> PageText;

  // Which page the next-page button shows next, 0 to 3.
  int PagePosition = 0;

  // Prefix of every data file name, from the settings file.
  std::string DataDirectory;

  // The open "Result_Tmp", or a closed File.
  platform::files::File ResultFile;

  // Times of day "hh:mm:ss" with a terminating NUL.
  std::array<char, 15> SearchStartTime{};
  std::array<char, 15> SearchEndTime{};

  // 1 while the automatic re-search with the rest letters runs.
  int RestRetryActive = 0;

  // Automatic re-searches made for the current query.
  int RestRetryCount = 0;
};

// Stores a time of day "hh:mm:ss" into one of the 15-byte time arrays.
void SetTime(std::array<char, 15>& field, const std::string& timeOfDay);

// The text of a time array, up to its NUL.
std::string TimeText(const std::array<char, 15>& field);

// Shows the eight bound fields in the order of Field: detailed first,
// detailed second, prefecture, ward, city, rough town, narrowing, result.
void ShowState(const SearchState& state, DialogSide& dialog);

// Reads the eight fields back in the same order, checking each letter for
// at most one byte and the result for at most 100000. A failed check is
// reported and stops the read-back at that field; returns false then.
bool ReadBackState(SearchState& state, DialogSide& dialog);

// Empties every single-letter field that holds exactly one blank, in the
// order detailed first, detailed second, prefecture, ward, city, rough town.
void NormaliseBlankLetters(SearchState& state);

// The caption of the status button.
void SetStatus(DialogSide& dialog, const std::string& text);

// The caption of the next-page button.
void SetPageLabel(DialogSide& dialog, const std::string& text);

}  // namespace search::engine
