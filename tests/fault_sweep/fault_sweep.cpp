// The fault sweep: each operation of the system that writes files runs once
// without faults, then once for every call it makes through the file
// layer's seam with that one call failing: with ENOSPC, EIO and EFBIG, and
// each write also as a short write on a disk that is full from then on.
// Then each runs under a real file size limit (as ulimit -f sets), one run
// per limit from none to the largest file the operation writes, the limit's
// signal ignored as every program ignores it. After every run it checks
// that
//   - the failure was reported, or else the outcome is exactly that of the
//     run without faults (a fault the operation rightly shrugs off, such as
//     a failed close of a file it only read, changes nothing);
//   - no master, index or result file ends inside a line, and no temporary
//     file is left;
//   - what was there before is whole: the old master file, the old
//     settings, an earlier quick page, the lines of an earlier build.
// Prints how many faults went into each kind of call. Exit status 0 when
// every run held, 1 otherwise (the first breaches are printed).
#include <fcntl.h>         // O_* flags
#include <sys/resource.h>  // setrlimit, RLIMIT_FSIZE
#include <unistd.h>        // chdir, getcwd

#include <algorithm>  // std::count
#include <array>
#include <cerrno>
#include <climits>  // PATH_MAX
#include <cstdio>
#include <cstdlib>  // mkdtemp, std::getenv
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files/file.h"
#include "platform/files/size_limit.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "prep/import/ken_all_import.h"
#include "prep/kana_town_index.h"
#include "search/engine/dialog_side.h"
#include "search/engine/search_session.h"
#include "search/engine/settings_file.h"

namespace {

namespace fs = std::filesystem;
namespace files = platform::files;
using platform::text::Cp932;

// ---------------------------------------------------------------------------
// Faults

enum Fault { kNoSpace, kIoError, kTooBig, kShortWrite, kFaultKinds };
const char* const kFaultNames[kFaultKinds] = {"ENOSPC", "EIO", "EFBIG", "short write"};
const int kFaultErrno[kFaultKinds] = {ENOSPC, EIO, EFBIG, ENOSPC};

// Faults injected over the whole sweep, by call and kind of fault.
std::map<std::string, std::array<long, kFaultKinds>> injected;

// Counts the calls through the seam while it lives, and fails one of them:
// the target-th call for an error, the target-th write for a short write,
// after which every write finds the disk full. A failing close still
// closes, as the system's own does.
class Injector {
 public:
  Injector(long target, Fault fault) : target_(target), fault_(fault) {
    files::SystemCalls& sys = files::Sys();
    Wrap(sys.open, "open");
    Wrap(sys.read, "read");
    Wrap(sys.lseek, "lseek");
    Wrap(sys.fstat, "fstat");
    Wrap(sys.stat, "stat");
    Wrap(sys.mkdir, "mkdir");
    Wrap(sys.rename, "rename");
    Wrap(sys.link, "link");
    Wrap(sys.unlink, "unlink");
    Wrap(sys.ftruncate, "ftruncate");
    Wrap(sys.listDirectory, "listDirectory");
    Wrap(sys.readlink, "readlink");
    Wrap(sys.fchmod, "fchmod");
    Wrap(sys.fchown, "fchown");
    Wrap(sys.fcntl, "fcntl");
    auto realClose = sys.close;
    sys.close = [this, realClose](int fd) {
      if (!Hit("close")) return realClose(fd);
      realClose(fd);
      errno = kFaultErrno[fault_];
      return -1;
    };
    auto realWrite = sys.write;
    sys.write = [this, realWrite](int fd, const void* buf, size_t n) -> ssize_t {
      ++writes_;
      if (diskFull_) {
        errno = ENOSPC;
        return -1;
      }
      if (!Hit("write")) return realWrite(fd, buf, n);
      if (fault_ != kShortWrite || n < 2) {
        errno = kFaultErrno[fault_];
        return -1;
      }
      diskFull_ = true;
      return realWrite(fd, buf, n / 2);
    };
  }

  long calls() const { return calls_; }
  long writes() const { return writes_; }
  bool hit() const { return hit_; }

 private:
  template <typename R, typename... A>
  void Wrap(std::function<R(A...)>& call, const char* name) {
    auto real = call;
    call = [this, real, name](A... args) -> R {
      if (!Hit(name)) return real(args...);
      errno = kFaultErrno[fault_];
      return static_cast<R>(-1);
    };
  }

  bool Hit(const char* name) {
    ++calls_;
    long count = fault_ == kShortWrite ? (std::string_view(name) == "write" ? writes_ : 0) : calls_;
    if (hit_ || target_ == 0 || count != target_) return false;
    hit_ = true;
    ++injected[name][fault_];
    return true;
  }

  platform::ScopedOverride<files::SystemCalls> restore_{files::Sys()};
  long target_;
  Fault fault_;
  long calls_ = 0;
  long writes_ = 0;
  bool diskFull_ = false;
  bool hit_ = false;
};

// ---------------------------------------------------------------------------
// Files

// Every regular file below the current directory, by relative host path.
using Tree = std::map<std::string, std::string>;

Tree Snapshot() {
  Tree tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    tree[entry.path().lexically_normal().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return tree;
}

void Write(const std::string& hostPath, const std::string& bytes) {
  fs::create_directories(fs::path(hostPath).parent_path().empty() ? "." : fs::path(hostPath).parent_path());
  std::ofstream(hostPath, std::ios::binary) << bytes;
}

bool EndsAtWholeLine(const std::string& text) { return text.empty() || text.back() == '\n'; }

// Files whose content is lines: the master file, index files, the result
// file and the postal data.
bool HoldsLines(const std::string& path) {
  return path == "ALL_ZIP.TXT" || path == "Result_Tmp" || path == "KEN_ALL.CSV" || path.ends_with(".Idx");
}

// ---------------------------------------------------------------------------
// Scenarios

struct Scenario {
  const char* name;
  std::function<void()> setUp;  // the files before the run, made without faults
  std::function<bool()> run;    // runs the operation: true when it reported a failure
  // What broke, or an empty text: with the files before and after the run,
  // those after the run without faults, and whether a failure was reported.
  std::function<std::string(const Tree& before, const Tree& after, const Tree& clean, bool reported)> check;
};

std::string Get(const Tree& tree, const std::string& path) {
  auto it = tree.find(path);
  return it == tree.end() ? std::string("<missing>") : it->second;
}

std::string FirstLines(const std::string& text, int count) {
  size_t end = 0;
  for (int i = 0; i < count && end < text.size(); ++i) end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

// Checks shared by every scenario.
std::string CommonCheck(const Tree& after, const Tree& clean, bool reported) {
  for (const auto& [path, text] : after) {
    if (path.ends_with(".tmp")) return path + " was left behind";
    if (HoldsLines(path) && !EndsAtWholeLine(text)) return path + " ends inside a line";
  }
  if (!reported && after != clean) return "no failure was reported, but the files differ from a run without faults";
  return "";
}

// The data the scenarios start from, made once without faults from a
// slice of the bundled postal data: its rows, the master file imported from
// them, and the index files of a build of that master file and of a build
// of its first hundred records (an earlier build that a new one appends to).
std::string kenAllRows;
std::string masterFile;
Tree fullBuild;
Tree earlierBuild;

// Boxes and reasons of the index build, counted.
class CountingMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view, std::string_view, prep::MessageButtons) override {
    ++boxes;
    return 1;
  }
  void ShowReason(std::string_view reason) override { reasons += reason.empty() ? 0 : 1; }
  int boxes = 0;
  int reasons = 0;
};

Scenario IndexBuild() {
  Scenario s;
  s.name = "index build";
  s.setUp = [] {
    Write("ALL_ZIP.TXT", masterFile);
    for (const auto& [path, text] : earlierBuild) Write(path, text);
  };
  s.run = [] {
    files::MakeDirectory("Zip_Code");  // as the tool's button: a failure shows later
    CountingMessages messages;
    prep::KanaTownIndexBuilder builder(messages);
    std::string cityInitial;
    int result = builder.BuildKanaTownIndex("", cityInitial);
    return result == -1 && messages.boxes > 0 && messages.reasons > 0;
  };
  s.check = [](const Tree& before, const Tree& after, const Tree& clean, bool reported) -> std::string {
    if (Get(after, "ALL_ZIP.TXT") != Get(before, "ALL_ZIP.TXT")) return "the master file changed";
    for (const auto& [path, text] : before)
      if (!after.count(path)) return path + " is gone";
    // Each index file holds its earlier lines, then whole shares of this
    // build's: a beginning of what the run without faults left there.
    for (const auto& [path, text] : after) {
      if (!path.ends_with(".Idx")) continue;
      auto earlier = before.find(path);
      if (earlier != before.end() && !text.starts_with(earlier->second))
        return path + " lost lines of an earlier build";
      if (!Get(clean, path).starts_with(text)) return path + " holds what a run without faults never writes";
    }
    return CommonCheck(after, clean, reported);
  };
  return s;
}

Scenario Import() {
  Scenario s;
  s.name = "import";
  s.setUp = [] {
    Write("KEN_ALL.CSV", kenAllRows);
    Write("ALL_ZIP.TXT", FirstLines(masterFile, 100));
  };
  s.run = [] {
    prep::import::ImportReport report;
    std::string error;
    return prep::import::ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, error) == -1 && !error.empty();
  };
  s.check = [](const Tree& before, const Tree& after, const Tree& clean, bool reported) -> std::string {
    if (Get(after, "KEN_ALL.CSV") != Get(before, "KEN_ALL.CSV")) return "the postal data changed";
    if (reported && Get(after, "ALL_ZIP.TXT") != Get(before, "ALL_ZIP.TXT")) return "the old master file is not whole";
    return CommonCheck(after, clean, reported);
  };
  return s;
}

// Records every box and the page shown.
class RecordingDialog : public search::engine::DialogSide {
 public:
  void SetFieldText(search::engine::Field field, const std::string& text) override { fields_[field] = text; }
  std::string FieldText(search::engine::Field field) override { return fields_[field]; }
  void ReportTooLong(search::engine::Field, size_t) override { ++boxes; }
  void SetStatusCaption(const std::string&) override {}
  void SetPageCaption(const std::string&) override {}
  void MessageBox(const std::string&, const std::string&) override { ++boxes; }
  int boxes = 0;

 private:
  std::map<search::engine::Field, std::string> fields_;
};

// The page the last search showed, to hold it against the run without faults.
std::string shownPage;
std::string cleanShownPage;

Scenario Search() {
  Scenario s;
  s.name = "search";
  s.setUp = [] {
    std::string settings = "Zip_Code\\";
    settings.resize(search::engine::kSettingsRecordBytes, '\0');
    Write("Tolvane.ini", settings);
    Write("Zip_Code/N_ｻ/ﾐﾅ.Idx", Get(fullBuild, "Zip_Code/N_ｻ/ﾐﾅ.Idx"));
    Write("QUICK/ﾎｻ__ﾐﾅ.QIC", Cp932("an earlier page\r\n"));
  };
  s.run = [] {
    // Every reading of the clock 20 seconds after the one before: a slow
    // search, which leaves its page in a quick file.
    platform::clock::FakeClock clock;
    clock.SetStepPerReading(20);
    platform::ScopedOverride inForce(platform::clock::ClockInForce(), &clock);
    RecordingDialog dialog;
    search::engine::SearchSession session(dialog);
    session.InitialiseDialog();
    search::engine::SearchState& state = session.State();
    state.PrefectureLetter = Cp932("ﾎ");
    state.CityLetter = Cp932("ｻ");
    state.DetailFirstLetter = Cp932("ﾐ");
    state.DetailSecondLetter = Cp932("ﾅ");
    session.ShowState();
    session.StartSearch();
    shownPage = state.ResultText;
    return !session.IncompleteReason().empty() || dialog.boxes > 0;
  };
  s.check = [](const Tree& before, const Tree& after, const Tree& clean, bool reported) -> std::string {
    for (const char* kept : {"Tolvane.ini", "Zip_Code/N_ｻ/ﾐﾅ.Idx"})
      if (Get(after, kept) != Get(before, kept)) return std::string(kept) + " changed";
    std::string quick = Get(after, "QUICK/ﾎｻ__ﾐﾅ.QIC");
    if (quick != Get(before, "QUICK/ﾎｻ__ﾐﾅ.QIC") && quick != Get(clean, "QUICK/ﾎｻ__ﾐﾅ.QIC"))
      return "the quick page is neither the earlier one nor the new one";
    if (after.count("Result_Tmp") && Get(after, "Result_Tmp") != Get(before, "Zip_Code/N_ｻ/ﾐﾅ.Idx"))
      return "Result_Tmp is not a whole copy of the index file";
    if (!reported && shownPage != cleanShownPage) return "no failure was reported, but another page is shown";
    return CommonCheck(after, clean, reported);
  };
  return s;
}

Scenario SettingsWrite() {
  Scenario s;
  s.name = "settings write";
  s.setUp = [] {
    std::string old = "c:\\old\\";
    old.resize(search::engine::kSettingsRecordBytes, '\0');
    Write("Tolvane.ini", old);
  };
  s.run = [] { return !search::engine::WriteSettings("c:\\Zip_Code\\Zip_Code\\"); };
  s.check = [](const Tree& before, const Tree& after, const Tree& clean, bool reported) -> std::string {
    if (reported && Get(after, "Tolvane.ini") != Get(before, "Tolvane.ini")) return "the old settings are not whole";
    return CommonCheck(after, clean, reported);
  };
  return s;
}

// ---------------------------------------------------------------------------
// The sweep

// A fresh directory for one run, the current directory while it lives. It
// lies in memory where the host offers that (/dev/shm).
class RunDirectory {
 public:
  RunDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
    path_ = base + "/yubin-sweep-XXXXXX";
    char cwd[PATH_MAX];
    previous_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
    if (!mkdtemp(path_.data()) || chdir(path_.c_str()) != 0) {
      std::fprintf(stderr, "cannot make a directory from %s\n", path_.c_str());
      std::exit(2);
    }
  }
  ~RunDirectory() {
    std::error_code ignored;
    if (chdir(previous_.c_str()) == 0) fs::remove_all(path_, ignored);
  }

 private:
  std::string path_;
  std::string previous_;
};

struct Outcome {
  long calls = 0;
  long writes = 0;
  bool hit = false;
  bool reported = false;
  std::string broken;  // what the checks found, empty when all held
  Tree after;
};

// Puts a file size limit in force while it lives: `bytes`, or none for -1.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(long bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    if (bytes < 0) return;
    rlimit limit = saved_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

// One run: with the target-th call failing (none for 0), under a file size
// limit of `sizeLimit` bytes (none for -1).
Outcome RunOnce(const Scenario& scenario, long target, Fault fault, const Tree* clean, long sizeLimit = -1) {
  RunDirectory directory;
  scenario.setUp();
  Tree before = Snapshot();
  Outcome outcome;
  {
    Injector injector(target, fault);
    FileSizeLimit limit(sizeLimit);
    outcome.reported = scenario.run();
    outcome.calls = injector.calls();
    outcome.writes = injector.writes();
    outcome.hit = injector.hit();
  }
  outcome.after = Snapshot();
  if (clean) outcome.broken = scenario.check(before, outcome.after, *clean, outcome.reported);
  return outcome;
}

// Builds the kana town index from `master` in the current directory and
// gives the index files made.
bool BuildIndex(const std::string& master, Tree& index) {
  Write("ALL_ZIP.TXT", master);
  files::MakeDirectory("Zip_Code");
  CountingMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  std::string cityInitial;
  if (builder.BuildKanaTownIndex("", cityInitial) != 0) return false;
  for (auto& [path, text] : Snapshot())
    if (path.starts_with("Zip_Code/")) index[path] = text;
  fs::remove_all("Zip_Code");
  return !index.empty();
}

// Makes the data the scenarios start from out of the postal rows at
// `rowsPath`.
bool MakeStartingData(const char* rowsPath) {
  std::ifstream in(rowsPath, std::ios::binary);
  kenAllRows.assign(std::istreambuf_iterator<char>(in), {});
  if (kenAllRows.empty()) {
    std::printf("cannot read the postal rows %s\n", rowsPath);
    return false;
  }
  RunDirectory directory;
  Write("KEN_ALL.CSV", kenAllRows);
  prep::import::ImportReport report;
  std::string error;
  if (prep::import::ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, error) != 0) {
    std::printf("the postal rows do not import: %s\n", error.c_str());
    return false;
  }
  masterFile = Snapshot()["ALL_ZIP.TXT"];
  return BuildIndex(masterFile, fullBuild) && BuildIndex(FirstLines(masterFile, 100), earlierBuild) &&
         fullBuild.count("Zip_Code/N_ｻ/ﾐﾅ.Idx");
}

}  // namespace

// The one argument is the slice of the bundled postal data (KEN_ALL.CSV,
// CP932 edition) that the scenarios start from.
int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fault_sweep KEN_ALL_ROWS.CSV\n");
    return 2;
  }
  platform::files::FailWritesBeyondTheSizeLimit();
  if (!MakeStartingData(argv[1])) return 1;
  std::printf("starting data: %zu master records, %zu index files (%zu of an earlier build)\n",
              static_cast<size_t>(std::count(masterFile.begin(), masterFile.end(), '\n')), fullBuild.size(),
              earlierBuild.size());
  const Scenario scenarios[] = {IndexBuild(), Import(), Search(), SettingsWrite()};
  long runs = 0, breaches = 0, unreached = 0, limitRuns = 0;
  for (const Scenario& scenario : scenarios) {
    // The first run fills the file layer's name caches as every later run
    // finds them; the second is the run without faults.
    RunOnce(scenario, 0, kNoSpace, nullptr);
    Outcome clean = RunOnce(scenario, 0, kNoSpace, nullptr);
    cleanShownPage = shownPage;
    if (clean.reported) {
      std::printf("%s: fails without any fault\n", scenario.name);
      return 1;
    }
    long scenarioRuns = 0;
    for (int f = 0; f < kFaultKinds; ++f) {
      auto fault = static_cast<Fault>(f);
      long last = fault == kShortWrite ? clean.writes : clean.calls;
      for (long k = 1; k <= last; ++k) {
        Outcome outcome = RunOnce(scenario, k, fault, &clean.after);
        ++scenarioRuns;
        if (!outcome.hit) ++unreached;
        if (outcome.broken.empty()) continue;
        if (++breaches <= 20)
          std::printf("BREACH %s, %s at call %ld: %s\n", scenario.name, kFaultNames[f], k, outcome.broken.c_str());
      }
    }
    // Under real size limits: finely where files are small, coarsely up to
    // the largest file written.
    size_t largest = 0;
    for (const auto& [path, text] : clean.after) largest = std::max(largest, text.size());
    long scenarioLimits = 0, limitsReported = 0;
    for (size_t limit = 0; limit <= largest; limit += limit / 4 + 1) {
      Outcome outcome = RunOnce(scenario, 0, kNoSpace, &clean.after, static_cast<long>(limit));
      ++scenarioLimits;
      if (outcome.reported) ++limitsReported;
      if (outcome.broken.empty()) continue;
      if (++breaches <= 20)
        std::printf("BREACH %s, file size limit of %zu bytes: %s\n", scenario.name, limit, outcome.broken.c_str());
    }
    std::printf("%-15s %4ld calls, %3ld writes without faults; %5ld runs with one; %3ld size limits, %3ld failed\n",
                scenario.name, clean.calls, clean.writes, scenarioRuns, scenarioLimits, limitsReported);
    runs += scenarioRuns;
    limitRuns += scenarioLimits;
  }

  std::printf("\nfaults injected, by call:\n  %-14s", "");
  for (const char* name : kFaultNames) std::printf(" %11s", name);
  std::printf(" %11s\n", "all");
  long total = 0;
  for (const auto& [call, counts] : injected) {
    long sum = 0;
    std::printf("  %-14s", call.c_str());
    for (long n : counts) {
      std::printf(" %11ld", n);
      sum += n;
    }
    std::printf(" %11ld\n", sum);
    total += sum;
  }
  std::printf(
      "%ld runs, %ld faults injected, %ld runs ended before their call came, %ld runs under a size limit, "
      "%ld breaches\n",
      runs, total, unreached, limitRuns, breaches);
  return breaches == 0 ? 0 : 1;
}
