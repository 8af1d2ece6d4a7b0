// The program that -E names: found in the current directory, then in the
// directory of qgrep itself ("X.exe" before "X" in each), started without
// a shell and waited for.
#pragma once

#include <string>
#include <string_view>

namespace qgrep {

// The directory that holds the running executable, or "" when unknown.
std::string OwnDirectory();

// The host path of the program `name` (UTF-8, may hold a directory), or ""
// when no executable file of that name is found.
std::string FindProgramFile(std::string_view name, const std::string& ownDirectory);

// Starts `path` with the single argument `name` and waits for its end. Its
// exit status (0 to 255); -1 with errno set when it could not be started;
// -2 when it did not end normally.
int StartAndWait(const std::string& path, const std::string& name);

}  // namespace qgrep
