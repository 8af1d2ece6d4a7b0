#include "tools/qgrep/options.h"

#include <optional>

#include "platform/text/cp932.h"
#include "tools/qgrep/fold.h"

namespace qgrep {

const char kUsage[] =
    "usage: qgrep [OPTIONS] PATTERN FILE...\n"
    "\n"
    "Writes the lines of the CP932 text FILEs that match PATTERN, each whole and\n"
    "ended by CR LF, in file order and then line order.\n"
    "\n"
    "Options (an argument that starts with \"-\" is one while a pattern and a file\n"
    "still follow it, and \"--\" then ends them; the letters may be written in\n"
    "either case):\n"
    "  -G         write each matching line whole (the only form there is)\n"
    "  -V0        write only the lines\n"
    "  -V1        write each line after its file's name and \":\" when several\n"
    "             files are searched, and a count on standard error (the default)\n"
    "  -O<file>   write the lines to <file>, replacing it only when the search has\n"
    "             finished (without it, to standard output)\n"
    "  -E<prog>   when the lines are written, start <prog> (looked for in the\n"
    "             current directory, then in qgrep's own; \"X.exe\" before \"X\")\n"
    "             and wait for it; a program that is not found is only a note\n"
    "  --help     this text on standard output, status 0 (alone, or where an\n"
    "             option stands)\n"
    "\n"
    "PATTERN: terms separated by \" and \"; a line matches when every term does,\n"
    "and a pattern without terms matches every line. A term holding one of\n"
    "\\ ^ $ . | ? * + ( ) [ ] { } is a regular expression matched without regard\n"
    "to case, in time linear in the text unless it needs back-references or\n"
    "look-around. A term without these signs, or one that is not written as an\n"
    "expression at all (a syntax error), is plain text; a valid expression that\n"
    "cannot be compiled (too large, a look-behind of no fixed length) is an\n"
    "error. PATTERN is read as UTF-8, as the programs of this system pass it, or\n"
    "as CP932 when it is not UTF-8.\n"
    "\n"
    "Terms and lines are compared folded: hiragana, katakana and half-width\n"
    "katakana are one (ほっかいどう, ホッカイドウ and ﾎｯｶｲﾄﾞｳ; small kana count\n"
    "as full-size, ﾞ and ﾟ join their kana); full-width letters, digits and signs\n"
    "are ASCII; letters match in either case; dashes and the long vowel mark\n"
    "are \"-\" (some readings write ｾﾝﾀ- for センター). A plain-text term that\n"
    "holds a postal code written with a hyphen (060-0061, ０６０－００６１,\n"
    "060ー0061: three digits, a hyphen and four digits, in no longer run of\n"
    "digits) finds it so and as its seven digits; every other term matches as\n"
    "written. In an expression a sign written full-width is plain text. Bytes\n"
    "that form no CP932 character match no character written in a term (only\n"
    "such expression parts as \".\" and \"[^a]\"). Lines are written as they stand.\n"
    "\n"
    "FILE: \"*\" and \"?\" in the last component expand in that directory, names\n"
    "are found without regard to ASCII case, and files are searched in name\n"
    "order. A FILE that names nothing, or a file that cannot be read, is an\n"
    "error; the other files are searched all the same.\n"
    "\n"
    "Exit status: 0 when a line matched, 1 when none did, 2 on an error, which\n"
    "the first line on standard error names: a wrong command line, a FILE that\n"
    "names nothing, a file not read, a line over 1 MiB (not searched), an\n"
    "expression that cannot be compiled (nothing is searched), or an expression\n"
    "too costly to search (the whole search may spend a quarter of a second of\n"
    "processor time, and a second more for every 40 MB of files searched),\n"
    "which stops the search and leaves the output file as it was.\n";

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Applies one option; false when it is not one of ours.
bool ApplyOption(const std::string& arg, Options& options) {
  if (arg.size() < 2) return false;
  std::string value = arg.substr(2);
  switch (Upper(arg[1])) {
    case 'G': return value.empty();
    case 'V':
      if (value != "0" && value != "1") return false;
      options.quiet = value == "0";
      return true;
    case 'O': options.outputFile = value; return !value.empty();
    case 'E': options.program = value; return !value.empty();
    default: return false;
  }
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  if (args.size() == 1 && args[0] == "--help") return ParseResult::kHelp;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // With fewer than a pattern and a file after it, it is the pattern:
    // so a search for "-1", or for "--", needs no "--" before it.
    if (arg.empty() || arg[0] != '-' || args.size() - i < 3) break;
    if (arg == "--") {
      ++i;
      break;
    }
    // Only where it stands as an option: a search for "--help" is a search.
    if (arg == "--help") return ParseResult::kHelp;
    if (!ApplyOption(arg, options)) {
      error = "unknown option '" + arg + "'";
      return ParseResult::kWrong;
    }
  }
  if (args.size() - i < 2) {
    error = "a pattern and at least one file are needed";
    return ParseResult::kWrong;
  }
  options.pattern = args[i];
  if (!IsUtf8(options.pattern)) {
    std::optional<std::string> utf8 = platform::text::ToUtf8Strict(options.pattern);
    if (!utf8) {
      error = "the pattern is neither UTF-8 nor CP932 text";
      return ParseResult::kWrong;
    }
    options.pattern = *utf8;
  }
  options.files.assign(args.begin() + static_cast<long>(i) + 1, args.end());
  return ParseResult::kRun;
}

}  // namespace qgrep
