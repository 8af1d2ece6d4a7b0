// Starting another program and waiting for its end, without a shell. The
// caller gives the program file and its arguments; the arguments are joined
// with single spaces into one command line and split into the child's
// argument vector by the command-line rules the programs were written for:
// blanks and tabs separate; double quotes group (and are dropped); a
// backslash before a quote makes the quote literal, and backslashes are
// literal unless they precede a quote (2n of them before a quote give n and
// the quote groups, 2n+1 give n and a literal quote). Splitting walks CP932
// characters, so a 0x5C trail byte (as in ソ) is never a backslash.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The arguments joined with single spaces.
std::string JoinCommandLine(const std::vector<std::string>& args);

// A command line split into arguments by the rules above.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// `text` escaped for standing between two double quotes of a command line:
// it splits back to `text` and never ends the quoted part early. A lead
// byte without its trail byte forms no character and is dropped.
std::string EscapeForQuotes(std::string_view text);

// The host path of the program file: `program` (a CP932 path) looked up in
// the current directory only, never along a search path. "X.exe" is tried
// first and then "X" (for a name without ".exe": "X.exe", then "X"). Empty
// when neither is an executable file.
std::string FindProgram(std::string_view program);

// Starts `program` with the arguments (CP932; the first is the child's
// name for itself) and waits until it has ended. The child's arguments are
// given to it in UTF-8, the host's convention. Its environment is this
// process's without DIALOG_BACKEND and DIALOG_SCRIPT: the user chose the
// backend and the script of the program they started, not of its children,
// which choose their own. Returns the child's exit status (0 to 255), or -1
// when it could not be started or did not exit normally.
int StartAndWait(std::string_view program, const std::vector<std::string>& args);

// This process's environment, as an execve-style list ending in a null
// pointer, without DIALOG_BACKEND and DIALOG_SCRIPT: for every child a
// program starts.
std::vector<char*> ChildEnvironment();

// How a child started by StartAndWaitForErrors ended.
struct ChildEnd {
  int status = -1;          // as StartAndWait returns it
  std::string errorOutput;  // what it wrote on standard error, at most kErrorOutputMax bytes
};
inline constexpr std::size_t kErrorOutputMax = 4096;

// StartAndWait, with the child's standard error sent to a temporary file
// (not shown to the user) and read back after the wait. Whatever the child
// starts in turn writes there too.
ChildEnd StartAndWaitForErrors(std::string_view program, const std::vector<std::string>& args);

}  // namespace platform
