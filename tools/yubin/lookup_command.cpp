// yubin lookup: a written address to its postal code, from the postal
// authority's CSV files. One address per argument, or a CSV list (--csv).
// Finds the data in the current directory, the user's workspace of yubin
// start, or --data DIR; the lookup itself is search/address.
#include <cctype>  // std::tolower
#include <cstdio>  // std::printf, std::fprintf, std::snprintf
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "search/address/address_table.h"
#include "search/address/cp932_codec.h"
#include "search/address/data_file.h"
#include "tools/yubin/commands.h"
#include "tools/yubin/lookup_batch.h"
#include "tools/yubin/start/workspace.h"

namespace yubin {

const char kLookupUsage[] =
    "usage: yubin lookup [--data DIR] [--all] [--json] ADDRESS...\n"
    "       yubin lookup [--data DIR] [--csv FILE] --column N [--header] [--encoding cp932|utf-8]\n"
    "\n"
    "Finds the postal code of a written address, as people write it: with or\n"
    "without prefecture or county, kanji numerals or digits, 5-3-2 or\n"
    "5丁目3番2号, hiragana readings, a building's name and floor. Prints the\n"
    "best candidate, as\n"
    "  0600061 北海道 札幌市中央区 南一条西（１～１９丁目）\n"
    "and with --all every candidate, each after how well it matched: exact,\n"
    "town (the town, but not which of its codes), city (only the city: the code\n"
    "for towns it does not list), office (a business office's own code).\n"
    "--json prints every candidate of every address as one JSON array.\n"
    "\n"
    "The data is KEN_ALL.CSV and JIGYOSYO.CSV, either edition: in the current\n"
    "directory when it holds them, else in the workspace of 'yubin start', or in\n"
    "DIR with --data.\n"
    "\n"
    "--csv FILE (or standard input, without --csv or with -) reads a CSV list\n"
    "and writes it to standard output with two columns added to each row: the\n"
    "code and the matched address of its column N (counted from 1). CP932 or\n"
    "UTF-8 is detected (or named with --encoding) and written back alike;\n"
    "--header leaves the first row for the columns' names. A row that cannot\n"
    "be read is reported with its line number and copied unchanged. A summary\n"
    "goes to stderr.\n"
    "\n"
    "Exit status 0 when every address was found (for a list: when it was\n"
    "read through), 1 when one was not, 2 for a wrong command line, an empty\n"
    "or binary address, or data or a list that cannot be read.\n";

namespace {

using address::Candidate;
using address::MatchKind;

struct Options {
  std::string data;
  bool all = false;
  bool json = false;
  bool batch = false;
  BatchOptions list;
  std::vector<std::string> addresses;
};

int Usage(const std::string& message) {
  std::fprintf(stderr, "yubin lookup: %s\n(yubin lookup --help tells more)\n", message.c_str());
  return 2;
}

// Parses the command line: 0 to go on, else the exit status.
int Parse(const std::vector<std::string>& args, Options& options) {
  bool operandsOnly = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (operandsOnly || arg.empty() || arg[0] != '-' || arg == "-") {
      options.addresses.push_back(arg);
    } else if (arg == "--") {
      operandsOnly = true;
    } else if (arg == "--all") {
      options.all = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--header") {
      options.list.header = true;
    } else if (arg == "--data") {
      if (!value(options.data)) return Usage("--data needs a directory");
    } else if (arg == "--csv") {
      if (!value(options.list.input)) return Usage("--csv needs a file (- for standard input)");
      options.batch = true;
    } else if (arg == "--encoding") {
      if (!value(options.list.encoding) || (options.list.encoding != "cp932" && options.list.encoding != "utf-8"))
        return Usage("--encoding takes cp932 or utf-8");
    } else if (arg == "--column") {
      std::string number;
      if (!value(number) || number.empty() || number.size() > 4 ||
          number.find_first_not_of("0123456789") != std::string::npos || std::stoi(number) < 1)
        return Usage("--column takes a column number from 1");
      options.list.column = std::stoi(number);
      options.batch = true;
    } else {
      return Usage("no option " + arg);
    }
  }
  if (options.batch) {
    if (options.list.column == 0) return Usage("a list needs --column N");
    if (!options.addresses.empty()) return Usage("give addresses or a list, not both");
    if (options.list.input.empty()) options.list.input = "-";
    if (options.all || options.json) return Usage("--all and --json are for addresses, not lists");
  } else if (options.addresses.empty()) {
    return Usage("no address given");
  }
  return 0;
}

// The file in `dir` whose name is one of `names` in any case, or empty.
std::string FindFile(const std::string& dir, std::initializer_list<const char*> names) {
  std::error_code error;
  for (const char* name : names) {
    std::filesystem::path exact = std::filesystem::path(dir) / name;
    if (std::filesystem::is_regular_file(exact, error)) return exact.string();
  }
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string found = it->path().filename().string();
    for (const char* name : names) {
      if (found.size() != std::string_view(name).size()) continue;
      bool same = true;
      for (size_t i = 0; i < found.size(); ++i)
        same &= std::tolower(static_cast<unsigned char>(found[i])) == std::tolower(static_cast<unsigned char>(name[i]));
      if (same) return it->path().string();
    }
  }
  return "";
}

// Where the data is: --data, the current directory, or the workspace.
bool FindData(const Options& options, std::string& kenAll, std::string& jigyosyo) {
  std::vector<std::string> places;
  if (!options.data.empty()) {
    places.push_back(options.data);
  } else {
    places.push_back(".");
    std::string error;
    if (std::optional<std::string> root = start::Workspaces::DefaultRoot(error)) {
      std::string current = start::Workspaces(*root).Current();
      if (!current.empty()) places.push_back(current);
    }
  }
  for (const std::string& place : places) {
    kenAll = FindFile(place, {"KEN_ALL.CSV", "utf_ken_all.csv"});
    if (kenAll.empty()) continue;
    jigyosyo = FindFile(place, {"JIGYOSYO.CSV"});
    return true;
  }
  if (!options.data.empty())
    std::fprintf(stderr, "yubin lookup: %s holds no KEN_ALL.CSV\n", options.data.c_str());
  else
    std::fprintf(stderr,
                 "yubin lookup: no postal data: the current directory holds no KEN_ALL.CSV and there is no\n"
                 "workspace of 'yubin start'; name a directory with --data DIR\n");
  return false;
}

bool Load(const std::string& kenAll, const std::string& jigyosyo, address::AddressTable& table) {
  std::string bytes, error;
  address::LoadReport report;
  auto failed = [&](const std::string& file) {
    std::fprintf(stderr, "yubin lookup: %s%s\n", error.c_str(),
                 error.find(file) == std::string::npos ? (": " + file).c_str() : "");
    return false;
  };
  if (!address::ReadDataFile(kenAll, bytes, error) || !table.AddAreas(bytes, report, error)) return failed(kenAll);
  if (report.skipped > 0)
    std::fprintf(stderr, "yubin lookup: %s: %ld rows left out, the first on line %ld\n", kenAll.c_str(), report.skipped,
                 report.firstSkipped);
  if (jigyosyo.empty()) return true;
  report = {};
  if (!address::ReadDataFile(jigyosyo, bytes, error) || !table.AddOffices(bytes, report, error))
    return failed(jigyosyo);
  return true;
}

// Whether an argument is an address at all: UTF-8 text holding more than
// spaces, without control characters.
const char* WhatIsWrong(const std::string& text) {
  bool valid = true, control = false, blank = true;
  address::DecodeUtf8(text, [&](char32_t c) {
    valid &= c != address::kReplacement;
    control |= c < 0x20 || c == 0x7F;
    blank &= c == ' ' || c == 0x3000;
  });
  if (!valid || control) return "is not text";
  if (blank) return "is empty";
  return nullptr;
}

const char* KindName(const Candidate& candidate) {
  if (!candidate.office.empty()) return "office";
  return candidate.kind == MatchKind::kExact ? "exact" : candidate.kind == MatchKind::kTown ? "town" : "city";
}

std::string Line(const Candidate& c) {
  std::string line = c.code + " " + address::Cp932ToUtf8(c.prefecture) + " " + address::Cp932ToUtf8(c.city) + " " +
                     address::Cp932ToUtf8(c.town);
  if (!c.office.empty()) line += " " + address::Cp932ToUtf8(c.office);
  return line;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string Json(const std::string& written, const std::vector<Candidate>& candidates) {
  std::string out = "{\"address\":" + JsonString(written) + ",\"candidates\":[";
  for (size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    if (i > 0) out += ',';
    out += "{\"code\":" + JsonString(c.code) + ",\"prefecture\":" + JsonString(address::Cp932ToUtf8(c.prefecture)) +
           ",\"city\":" + JsonString(address::Cp932ToUtf8(c.city)) +
           ",\"town\":" + JsonString(address::Cp932ToUtf8(c.town));
    if (!c.office.empty()) out += ",\"office\":" + JsonString(address::Cp932ToUtf8(c.office));
    out += ",\"match\":" + JsonString(KindName(c)) + "}";
  }
  return out + "]}";
}

}  // namespace

int RunLookup(const std::vector<std::string>& args) {
  Options options;
  if (int status = Parse(args, options)) return status;
  for (size_t i = 0; i < options.addresses.size(); ++i) {
    if (const char* wrong = WhatIsWrong(options.addresses[i])) {
      std::fprintf(stderr, "yubin lookup: address %zu %s\n", i + 1, wrong);
      return 2;
    }
  }
  std::string kenAll, jigyosyo;
  if (!FindData(options, kenAll, jigyosyo)) return 2;
  address::AddressTable table;
  if (!Load(kenAll, jigyosyo, table)) return 2;

  if (options.batch) {
    BatchCounts counts;
    std::fflush(stdout);
    return RunBatch(table, options.list, 1, counts);
  }
  int status = 0;
  if (options.json) std::printf("[");
  for (size_t i = 0; i < options.addresses.size(); ++i) {
    const std::string& written = options.addresses[i];
    std::vector<Candidate> candidates = table.LookupUtf8(written);
    if (candidates.empty()) {
      status = 1;
      std::fprintf(stderr, "yubin lookup: %s: nothing found\n", written.c_str());
    }
    if (options.json) {
      std::printf("%s%s", i > 0 ? "," : "", Json(written, candidates).c_str());
      continue;
    }
    if (candidates.empty()) continue;
    if (!options.all) {
      std::printf("%s\n", Line(candidates[0]).c_str());
      continue;
    }
    if (options.addresses.size() > 1) std::printf("%s%s\n", i > 0 ? "\n" : "", written.c_str());
    for (const Candidate& candidate : candidates)
      std::printf("%-6s %s\n", KindName(candidate), Line(candidate).c_str());
  }
  if (options.json) std::printf("]\n");
  return status;
}

}  // namespace yubin
