// qgrep: the grep program that the regular-expression search starts. Writes
// the lines of CP932 text files that match a pattern of folded terms; see
// the usage text in options.cpp.

#include <cerrno>
#include <cstdio>   // std::fprintf
#include <cstring>  // std::strerror
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/size_limit.h"
#include "platform/text/cp932.h"
#include "tools/qgrep/file_names.h"
#include "tools/qgrep/line_scan.h"
#include "tools/qgrep/options.h"
#include "tools/qgrep/output.h"
#include "tools/qgrep/pattern.h"
#include "tools/qgrep/prefilter.h"
#include "tools/qgrep/start_program.h"

namespace qgrep {
namespace {

void Note(const std::string& text) { std::fprintf(stderr, "qgrep: %s\n", text.c_str()); }

std::string CannotRead(const std::string& file, int err) { return "cannot read " + file + ": " + std::strerror(err); }

bool HasWildcards(const std::string& operand) { return operand.find_first_of("*?") != std::string::npos; }

// The files the operands name, each once, in operand order and then name
// order. An operand that names nothing is an error, noted here.
std::vector<std::string> FilesToSearch(const std::vector<std::string>& operands, bool& failed) {
  std::vector<std::string> files;
  std::set<std::string> seen;
  for (const std::string& operand : operands) {
    std::vector<std::string> named = ExpandOperand(operand);
    if (named.empty()) {
      Note((HasWildcards(operand) ? "no file matches " : "no file named ") + operand);
      failed = true;
    }
    for (std::string& path : named)
      if (seen.insert(path).second) files.push_back(std::move(path));
  }
  return files;
}

void RunProgram(const std::string& name) {
  std::string path = FindProgramFile(name, OwnDirectory());
  if (path.empty()) {
    Note("program " + name + " not found; the search is done all the same");
    return;
  }
  int status = StartAndWait(path, name);
  if (status == -1) Note("cannot start " + path + ": " + std::strerror(errno));
  if (status == -2) Note(path + " did not end normally");
}

int Run(const Options& options) {
  Pattern pattern(options.pattern);
  if (!pattern.Error().empty()) {
    Note(pattern.Error());
    return 2;
  }
  std::optional<Prefilter> prefilter = Prefilter::Choose(pattern.LiteralTerms());
  bool failed = false;
  std::vector<std::string> files = FilesToSearch(options.files, failed);

  Output output;
  std::string error;
  if (!options.outputFile.empty()) {
    std::string target = ResolvePath(options.outputFile);
    if (!output.OpenFile(target, error)) {
      Note(error);
      return 2;
    }
  }
  LineScanner scanner(pattern, prefilter ? &*prefilter : nullptr);
  const bool named = !options.quiet && files.size() > 1;
  long matched = 0;
  for (const std::string& file : files) {
    // Only a regular file is read: a directory, a named pipe or a device is
    // refused as a file that cannot be read, without waiting on it.
    platform::files::File input =
        platform::files::OpenHostPath(file, platform::files::kRead | platform::files::kRegularFile);
    if (!input.IsOpen()) {
      Note(CannotRead(file, errno));
      failed = true;
      continue;
    }
    // The output is CP932 text: so is the file name before each line.
    std::string prefix = named ? platform::text::ToCp932Strict(file).value_or(file) + ":" : "";
    ScanReport report = scanner.Scan(input, [&](std::string_view line) { output.WriteLine(prefix, line); });
    input.Close();
    matched += report.matched;
    if (report.tooCostly) {
      Note("expression too costly to search: \"" + pattern.CostlyTerm() + "\" (stopped in " + file +
           (options.outputFile.empty() ? "" : "; " + options.outputFile + " left as it was") + ")");
      output.Abandon();
      return 2;
    }
    if (report.readError) {
      Note(CannotRead(file, report.readError));
      failed = true;
    }
    if (report.tooLong) {
      Note(file + ": " + std::to_string(report.tooLong) + " line(s) longer than 1 MiB not searched");
      failed = true;
    }
  }
  if (!output.Finish(error)) {
    Note(error);
    return 2;
  }
  if (!options.quiet) std::fprintf(stderr, "qgrep: %ld matching line(s) in %zu file(s)\n", matched, files.size());
  if (!options.program.empty()) RunProgram(options.program);
  if (failed) return 2;
  return matched > 0 ? 0 : 1;
}

}  // namespace
}  // namespace qgrep

int main(int argc, char** argv) {
  platform::files::FailWritesBeyondTheSizeLimit();
  std::vector<std::string> args(argv + 1, argv + argc);
  qgrep::Options options;
  std::string error;
  switch (qgrep::ParseArguments(args, options, error)) {
    case qgrep::ParseResult::kHelp: std::fputs(qgrep::kUsage, stdout); return 0;
    case qgrep::ParseResult::kWrong: std::fprintf(stderr, "qgrep: %s\n\n%s", error.c_str(), qgrep::kUsage); return 2;
    case qgrep::ParseResult::kRun: break;
  }
  return qgrep::Run(options);
}
