// What the regular-expression search hands to the grep program and what it
// reads back, without the dialog: the cleaning of the search string, the
// pattern and the command text, and the run of "qgrep.exe" with the reading
// of its output file "res_s". Shows nothing: the dialog shows the texts and
// the messages.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace search::ui {

// The longest search string, in CP932 bytes.
inline constexpr std::size_t kSearchStringMaxBytes = 200;
// The most characters of the output file that the result shows.
inline constexpr long kResultMaxCharacters = 15000;

// The kinds of search: which CSV files the grep program searches.
enum class SearchKind { kAll = 1, kOffices = 2, kGeneral = 3 };

// Removes every backspace, line feed, form feed and carriage return byte,
// keeping the others in order. True when one was there: the user has
// pressed Enter (or pasted a line break) and the search starts.
bool RemoveEnterBytes(std::string& text);

// The pattern of a search string (CP932), in double quotes: leading spaces
// vanish, each run of spaces after a word becomes " and ", a full-width
// space is an ordinary character. The pattern is always one argument of the
// grep program: a double quote in the text is escaped for the command-line
// rules, and a lead byte without its trail byte is dropped, since it would
// swallow the byte after it, a closing quote included.
std::string GrepPattern(std::string_view searchString);

// The command text: the option text " -G -V0 -Evesk -Ores_s ", the pattern
// and the file operand of the kind (" *.csv", " Jigyosyo.csv",
// " Ken_all.csv").
std::string GrepCommandText(std::string_view searchString, SearchKind kind);

// Reads the output file as the result shows it: in text mode, at most
// kResultMaxCharacters characters, each line feed as CR LF, a NUL adding
// nothing; after the notice of a cut when that many were read (even if
// nothing was left). Opened for reading only. Nothing when the file cannot
// be opened.
std::optional<std::string> ReadGrepOutput(std::string_view path);

// What one search gives the dialog.
struct GrepSearchOutcome {
  // The result text (ReadGrepOutput); nothing when "res_s" could not be
  // read, or when the grep program failed.
  std::optional<std::string> result;
  // When the grep program ended with status 2 (a search it stopped, an
  // expression it cannot use, an operand that names no file): its first
  // message line, CP932, for the user to read instead of a result.
  std::string failure;
};

// One search: starts "qgrep.exe" of the current directory with the command
// text, waits for its end and reads "res_s" (ReadGrepOutput). The old
// "res_s" is removed first, so a run that fails to write one is told as a
// missing file and never shows an earlier search's lines as this one's.
// What the grep program writes on standard error is kept from the user
// unless it failed.
GrepSearchOutcome RunGrepSearch(std::string_view commandText);

}  // namespace search::ui
