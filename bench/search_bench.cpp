// Times one search of every kana town index file of the bundled postal data
// through the search engine (search start and result pages, no filters), and
// one grep over the whole KEN_ALL.CSV for comparison. Prints p50, p99 and the
// maximum time per search.
//
// usage: search_bench [DIR]   DIR holds KEN_ALL.CSV and a built ZIP_CODE;
// without it the index is built in a temporary directory first.
#include <strings.h>  // strcasecmp
#include <unistd.h>   // chdir, sync

#include <algorithm>
#include <cctype>  // std::isxdigit
#include <chrono>
#include <cmath>   // std::ceil
#include <cstdio>  // popen
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/text/cp932.h"
#include "search/engine/dialog_side.h"
#include "prep/import/ken_all_import.h"
#include "prep/kana_town_index.h"
#include "search/engine/search_session.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using search::engine::DialogSide;

// A dialog that only keeps what the engine writes.
class HeadlessDialog : public DialogSide {
 public:
  void SetFieldText(search::engine::Field field, const std::string& text) override { fields[field] = text; }
  std::string FieldText(search::engine::Field field) override { return fields[field]; }
  void ReportTooLong(search::engine::Field, size_t) override { ++problems; }
  void SetStatusCaption(const std::string& text) override { status = text; }
  void SetPageCaption(const std::string&) override {}
  void MessageBox(const std::string&, const std::string&) override { ++problems; }

  std::map<search::engine::Field, std::string> fields;
  std::string status;
  int problems = 0;
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int Run(const std::string& command) {
  int status = std::system(command.c_str());
  if (status != 0) std::cerr << "failed (" << status << "): " << command << '\n';
  return status;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A host file name back to the CP932 bytes it stands for: UTF-8 with %XX
// escapes for bytes that form no character.
std::string Cp932Name(const std::string& hostName) {
  std::string unescaped;
  std::string bytes;
  for (size_t i = 0; i < hostName.size(); ++i) {
    if (hostName[i] == '%' && i + 2 < hostName.size() && std::isxdigit(static_cast<unsigned char>(hostName[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(hostName[i + 2]))) {
      bytes += platform::text::ToCp932Strict(unescaped).value_or("");
      unescaped.clear();
      bytes += static_cast<char>(std::stoi(hostName.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      unescaped += hostName[i];
    }
  }
  return bytes + platform::text::ToCp932Strict(unescaped).value_or("");
}

struct IndexFile {
  std::string city;  // CP932, one byte
  std::string town;  // CP932, up to two bytes
  std::string host;
};

// Builder messages end the process anyway.
class SilentPrepMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view, std::string_view, prep::MessageButtons) override { return 0; }
};

// Imports KEN_ALL.CSV into ALL_ZIP.TXT and builds the index, in the current
// directory, as `yubin import` and `yubin build` do.
bool BuildIndexHere() {
  prep::import::ImportReport report;
  std::string error;
  if (prep::import::ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, error) != 0) {
    std::cerr << error << '\n';
    return false;
  }
  if (platform::files::MakeDirectory("Zip_Code") != 0) return false;
  SilentPrepMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  std::string cityInitial;
  if (builder.BuildKanaTownIndex("", cityInitial) != 0) {
    std::cerr << "the index build failed\n";
    return false;
  }
  return true;
}

std::vector<IndexFile> IndexFiles(const fs::path& zipCode) {
  std::vector<IndexFile> files;
  for (const fs::directory_entry& dir : fs::directory_iterator(zipCode)) {
    std::string dirName = Cp932Name(dir.path().filename().string());
    if (!dir.is_directory() || !dirName.starts_with("N_")) continue;
    for (const fs::directory_entry& file : fs::directory_iterator(dir.path())) {
      std::string name = file.path().filename().string();
      if (name.size() < 4 || strcasecmp(name.c_str() + name.size() - 4, ".idx") != 0) continue;
      files.push_back({dirName.substr(2), Cp932Name(name.substr(0, name.size() - 4)), file.path().string()});
    }
  }
  std::sort(files.begin(), files.end(), [](const IndexFile& a, const IndexFile& b) { return a.host < b.host; });
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path work;
  bool temporary = argc < 2;
  if (temporary) {
    std::string pattern = (fs::temp_directory_path() / "search_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    work = pattern;
    std::cout << "building the index in " << work << '\n';
    auto start = Clock::now();
    if (Run("cd " + Quoted(work) + " && " + Quoted(YUBIN_CMAKE) + " -E tar xf " +
            Quoted(std::string(YUBIN_SOURCE_DIR) + "/data/ken_all.zip")) != 0 ||
        chdir(work.c_str()) != 0 || !BuildIndexHere())
      return 1;
    std::cout << "import and build: " << Milliseconds(Clock::now() - start) / 1000 << " s\n";
    // The new index goes to disk now, so that its writeback does not run
    // during the searches being timed.
    sync();
  } else {
    work = fs::absolute(argv[1]);
  }
  if (chdir(work.c_str()) != 0) return 1;

  // Tolvane.ini names the index directory.
  std::string directory = platform::text::ToCp932Strict((work / "ZIP_CODE").string() + "/").value_or("");
  {
    std::string record = directory;
    record.resize(500, '\0');
    FILE* settings = std::fopen("Tolvane.ini", "wb");
    if (!settings) return 1;
    std::fwrite(record.data(), 1, record.size(), settings);
    std::fclose(settings);
  }

  std::vector<IndexFile> files = IndexFiles(platform::files::HostPath(directory));
  HeadlessDialog dialog;
  search::engine::SearchSession session(dialog);
  session.InitialiseDialog();
  const std::string finished = platform::text::Cp932("＊ 検索終了 ＊");

  std::vector<double> times;
  times.reserve(files.size());
  size_t empty = 0;
  double slowest = -1;
  std::string slowestFile;
  for (const IndexFile& file : files) {
    search::engine::SearchState& state = session.State();
    state.CityLetter = file.city;
    state.DetailFirstLetter = file.town.substr(0, 1);
    state.DetailSecondLetter = file.town.size() > 1 ? file.town.substr(1, 1) : std::string();
    session.ShowState();
    auto start = Clock::now();
    session.StartSearch();
    double ms = Milliseconds(Clock::now() - start);
    times.push_back(ms);
    if (state.ResultText.empty() || dialog.status != finished) ++empty;
    if (ms > slowest) {
      slowest = ms;
      slowestFile = file.host;
    }
  }
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  auto percentile = [&](double p) {
    size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::max<size_t>(rank, 1) - 1];
  };
  double total = 0;
  for (double t : times) total += t;

  std::cout << "searches: " << times.size() << " (index files), without a result: " << empty
            << ", message boxes: " << dialog.problems << '\n';
  if (!sorted.empty()) {
    std::cout << "per search: p50 " << percentile(0.50) << " ms, p99 " << percentile(0.99) << " ms, max " << slowest
              << " ms (" << slowestFile << ")\n";
    std::cout << "all searches: " << total / 1000 << " s\n";
  }

  // The largest file alone, many times: what a search of it costs when no
  // other process takes the processor meanwhile.
  if (!files.empty()) {
    const IndexFile* largest = &files[0];
    for (const IndexFile& file : files)
      if (fs::file_size(file.host) > fs::file_size(largest->host)) largest = &file;
    std::vector<double> runs;
    for (int i = 0; i < 51; ++i) {
      search::engine::SearchState& state = session.State();
      state.CityLetter = largest->city;
      state.DetailFirstLetter = largest->town.substr(0, 1);
      state.DetailSecondLetter = largest->town.size() > 1 ? largest->town.substr(1, 1) : std::string();
      session.ShowState();
      auto start = Clock::now();
      session.StartSearch();
      runs.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(runs.begin(), runs.end());
    std::cout << "largest file (" << largest->host << ", " << fs::file_size(largest->host)
              << " bytes): median of 51 searches " << runs[25] << " ms\n";
  }

  // What a user would do instead: one grep over the whole master data.
  std::string pattern = platform::text::Cp932("南一条西");
  auto start = Clock::now();
  FILE* grep = popen(("grep -c " + Quoted(pattern) + " KEN_ALL.CSV").c_str(), "r");
  std::string count;
  if (grep) {
    char buffer[64];
    while (std::fgets(buffer, sizeof buffer, grep)) count += buffer;
    pclose(grep);
  }
  double grepMs = Milliseconds(Clock::now() - start);
  if (!count.empty() && count.back() == '\n') count.pop_back();
  std::cout << "grep -c over KEN_ALL.CSV: " << grepMs << " ms (" << count << " lines)\n";

  if (temporary) {
    std::error_code ignored;
    fs::remove_all(work, ignored);
  }
  return 0;
}
