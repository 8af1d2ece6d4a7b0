// Reads and writes "Tolvane.ini", the one setting of the search application:
// the data directory, stored as a 500-byte record (the text, a NUL, filler).
// Shows no message: callers tell the user with SettingsErrorText.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace search::engine {

inline constexpr char kSettingsFileName[] = "Tolvane.ini";
inline constexpr size_t kSettingsRecordBytes = 500;

// The data directory: the bytes before the first NUL of the first 500 bytes
// of the file, or all of them when there is no NUL. Nothing when the file
// cannot be opened or read, or is no regular file (a named pipe, say). The
// file is opened read-only, so a write-protected settings file can be read.
std::optional<std::string> ReadSettings();

// Stores the text as a 500-byte record. The record goes to a temporary file
// that is renamed over the old one, so a failed write keeps the old file.
// False when the text is longer than 499 bytes, when an existing settings
// file is write-protected or no regular file, or when any step fails.
bool WriteSettings(std::string_view text);

// The text of the error box for a settings file that cannot be opened,
// shown for reading and writing alike.
const std::string& SettingsErrorText();

}  // namespace search::engine
