// yubin: the command-line front end of the postal-code lookup. Dispatches
// to one function per command; the table below is the list of commands.
#include <cstdio>  // std::printf, std::fprintf
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/size_limit.h"
#include "platform/text/cp932.h"
#include "tools/yubin/commands.h"

namespace yubin {
namespace {

struct Command {
  const char* name;
  const char* summary;
  const char* usage;  // the full help text
  int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"import", "KEN_ALL.CSV [ALL_ZIP.TXT]: make the master file from the postal data",
     "usage: yubin import KEN_ALL.CSV [ALL_ZIP.TXT]\n"
     "\n"
     "Reads the postal authority's KEN_ALL file, either the CP932 edition\n"
     "(KEN_ALL.CSV) or the UTF-8 one (utf_ken_all.csv), or the zip archive\n"
     "either comes in (ken_all.zip, utf_ken_all.zip), and writes the master\n"
     "file (default ALL_ZIP.TXT): quotes taken off, readings in half-width\n"
     "katakana with small kana full-size, towns split over several rows\n"
     "joined. The output appears only when the whole import succeeded.\n"
     "Exit status 0, 1 with a message naming the bad line, or 2 for a wrong\n"
     "command line.\n",
     RunImport},
    {"build", "build the kana town index below Zip_Code from ALL_ZIP.TXT",
     "usage: yubin build\n"
     "\n"
     "In the current directory: creates Zip_Code, reads ALL_ZIP.TXT and\n"
     "appends every record as one line to Zip_Code/N_<city letter>/<two town\n"
     "letters>.Idx. Names compare without regard to case, so an existing\n"
     "ZIP_CODE is the same directory. Every build appends: remove the old N_\n"
     "directories for a fresh index. Prints nothing on success; a count of\n"
     "malformed records skipped goes to stderr. Exit status 0, 2 for a wrong\n"
     "command line, or 255 after a fatal file error (the messages, then what\n"
     "failed and why, on stderr; lines already written kept, and every index\n"
     "file still ends at a whole line).\n",
     RunBuild},
    {"search", "[--pref K] [--city K] [--ward K] [--town READING] ...: one search", kSearchUsage, RunSearch},
    {"start", "[--data DIR] [--tool]: the search application in the user's workspace, made when needed", kStartUsage,
     RunStart},
    {"update", "[--check] [--quiet] [--from URL]: the postal data made current from the postal authority's server",
     kUpdateUsage, RunUpdate},
    {"lookup", "[--all] [--json] ADDRESS... | --csv FILE --column N: the postal code of a written address",
     kLookupUsage, RunLookup},
};

const Command* Find(const std::string& name) {
  for (const Command& command : kCommands)
    if (name == command.name) return &command;
  return nullptr;
}

void PrintOverview(std::FILE* to) {
  std::fprintf(to, "usage: yubin COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& command : kCommands) std::fprintf(to, "  %-8s %s\n", command.name, command.summary);
  std::fprintf(to, "  %-8s %s\n", "help", "[COMMAND]: this text, or a command's own");
  std::fprintf(to, "\n'yubin COMMAND --help' tells more about one command.\n");
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

bool ToCp932Path(const std::string& utf8, std::string& cp932) {
  std::optional<std::string> converted = platform::text::ToCp932Strict(utf8);
  if (!converted) {
    std::fprintf(stderr, "yubin: %s: the name has no CP932 form\n", utf8.c_str());
    return false;
  }
  // The file layer turns CP932 back into UTF-8 for the host. A few signs
  // come back as their full-width kin (the wave dash U+301C as U+FF5E), so
  // such a name would name another file.
  if (platform::text::ToUtf8(*converted) != utf8) {
    std::fprintf(stderr, "yubin: %s: the name does not survive CP932 unchanged; rename the file\n", utf8.c_str());
    return false;
  }
  cp932 = std::move(*converted);
  return true;
}

}  // namespace yubin

int main(int argc, char** argv) {
  platform::files::FailWritesBeyondTheSizeLimit();
  using namespace yubin;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(stderr);
    return 2;
  }
  const std::string name = args[0];
  args.erase(args.begin());
  if (name == "help" || IsHelp(name)) {
    if (args.empty()) {
      PrintOverview(stdout);
      return 0;
    }
    if (args.size() > 1) {
      std::fprintf(stderr, "yubin help: takes at most one command name\n");
      return 2;
    }
    const Command* command = Find(args[0]);
    if (!command) {
      std::fprintf(stderr, "yubin: no command '%s'\n", args[0].c_str());
      return 2;
    }
    std::fputs(command->usage, stdout);
    return 0;
  }
  const Command* command = Find(name);
  if (!command) {
    std::fprintf(stderr, "yubin: no command '%s'\n\n", name.c_str());
    PrintOverview(stderr);
    return 2;
  }
  for (const std::string& arg : args) {
    if (IsHelp(arg)) {
      std::fputs(command->usage, stdout);
      return 0;
    }
  }
  return command->run(args);
}
