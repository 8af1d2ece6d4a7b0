// The command line of qgrep: options, one pattern, file operands. Reads
// the arguments only; main.cpp acts on them.
#pragma once

#include <string>
#include <vector>

namespace qgrep {

extern const char kUsage[];

struct Options {
  bool quiet = false;              // -V0: only the lines
  std::string outputFile;          // -O: empty for standard output
  std::string program;             // -E: empty for none
  std::string pattern;             // UTF-8
  std::vector<std::string> files;  // file operands, as given
};

enum class ParseResult { kRun, kHelp, kWrong };

// Reads the arguments (without the program name). kWrong comes with
// `error` saying what is wrong.
ParseResult ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

}  // namespace qgrep
