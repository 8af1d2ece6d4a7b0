#include "tools/yubin/update/updater.h"

#include <fcntl.h>     // open
#include <sys/file.h>  // flock
#include <sys/stat.h>  // mkdir
#include <unistd.h>    // chdir, close

#include <algorithm>  // std::max, std::count
#include <cerrno>
#include <chrono>
#include <deque>
#include <future>
#include <ctime>  // std::time
#include <filesystem>
#include <optional>

#include "platform/files/file.h"
#include "platform/files/whole_file.h"
#include "platform/text/cp932.h"
#include "prep/import/csv_archive.h"
#include "prep/master_file.h"
#include "tools/yubin/start/preparation.h"
#include "tools/yubin/update/differences.h"
#include "tools/yubin/update/index_update.h"
#include "tools/yubin/update/master_patch.h"

namespace yubin::update {

namespace fs = std::filesystem;
namespace files = platform::files;

struct Updater::Plan {
  std::string current;  // the workspace in use, or empty
  std::optional<SourceRecord> record;
  std::string addressUrl;
  Fetched head;
  long long serverTime = -1;
  std::string downloads;  // the directory the files are fetched into
  std::string workspace;  // the new one, once made
  SourceRecord next;
};

namespace {

// Steps made of functions, for the runner. A step added to run in the
// background runs on a thread of its own, so that a window stays drawn
// while it works (a download, say); the runner polls it.
class StepList : public start::Steps {
 public:
  void Add(std::string_view window, std::string line, std::function<bool(std::string&)> run) {
    steps_.push_back({window, std::move(line), std::move(run), false, {}});
  }
  void AddInBackground(std::string_view window, std::string line, std::function<bool(std::string&)> run) {
    steps_.push_back({window, std::move(line), std::move(run), true, {}});
  }
  int StepCount() const override { return static_cast<int>(steps_.size()); }
  std::string_view WindowText(int step) const override { return steps_[step].window; }
  bool Run(int step, std::string& error) override {
    Step& s = steps_[step];
    if (!s.background) {
      Say(step);
      return s.run(error);
    }
    if (!s.work.valid()) {
      Say(step);
      s.work = std::async(std::launch::async, [&s] {
        std::string e;
        bool done = s.run(e);
        return std::make_pair(done, e);
      });
      return true;
    }
    if (s.work.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return true;
    auto [done, e] = s.work.get();
    s.background = false;
    if (!done) error = e;
    return done;
  }
  bool Finished(int step) const override { return !steps_[step].background; }
  std::string Status() const override { return status ? status() : std::string(); }

  std::function<void(const std::string&)> say;
  std::function<std::string()> status;

 private:
  struct Step {
    std::string_view window;
    std::string line;
    std::function<bool(std::string&)> run;
    bool background;
    std::future<std::pair<bool, std::string>> work;
  };
  void Say(int step) {
    if (say) say("[" + std::to_string(step + 1) + "/" + std::to_string(steps_.size()) + "] " + steps_[step].line);
  }
  std::deque<Step> steps_;  // a step stays where it is while its thread runs
};

// A count with thousands separated: 2,662,928.
std::string Grouped(long long n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The lines of a host file, counted; -1 when it cannot be read.
long CountLines(const std::string& path) {
  files::File in = files::OpenHostPath(path, files::kRead);
  if (!in.IsOpen()) return -1;
  long lines = 0;
  std::vector<char> buffer(1 << 20);
  for (long n; (n = in.Read(buffer.data(), buffer.size())) != 0;) {
    if (n < 0) return -1;
    lines += std::count(buffer.data(), buffer.data() + n, '\n');
  }
  return lines;
}

// The CSV file of a downloaded archive, as lines.
bool ReadArchiveLines(const std::string& archive, const std::string& csvPath, CsvLines& csv, std::string& error) {
  files::File in = files::OpenHostPath(archive, files::kRead | files::kRegularFile);
  if (!in.IsOpen()) {
    error = files::HostPathErrorText("open", archive, errno);
    return false;
  }
  std::optional<std::string> output = platform::text::ToCp932Strict(csvPath);
  if (!output) {
    error = csvPath + ": the path has no CP932 form";
    return false;
  }
  if (prep::import::ExtractCsv(in, FileName(archive), *output, error) != 0) return false;
  return ReadCsvLines(csvPath, csv, error);
}

// The workspaces' lock, the same file yubin start locks, held only while
// the update runs: a start waits for an update, and an update for a start
// that prepares.
class RootLock {
 public:
  bool Take(const std::string& root, std::string& error) {
    std::error_code ec;
    if (fs::create_directories(root, ec)) fs::permissions(root, fs::perms::owner_all, ec);
    std::string path = root + "/.lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
      error = files::HostPathErrorText("create", path, errno);
      return false;
    }
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error = files::HostPathErrorText("lock", path, errno);
        return false;
      }
    }
    return true;
  }
  ~RootLock() {
    if (fd_ >= 0) close(fd_);
  }

 private:
  int fd_ = -1;
};

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

}  // namespace

Updater::Updater(start::Installation installation, start::Workspaces& workspaces, UpdateOptions options,
                 std::function<void(const std::string&)> say)
    : installation_(std::move(installation)),
      workspaces_(workspaces),
      options_(std::move(options)),
      say_(std::move(say)) {
  if (!options_.base.empty() && options_.base.back() != '/') options_.base += '/';
}

UpdateResult Updater::Ask(Plan& plan, std::string& message) {
  plan.current = workspaces_.Current();
  if (!plan.current.empty()) plan.record = ReadSourceRecord(plan.current);
  plan.addressUrl = options_.base + AddressFilePath(options_.edition);
  Validators since;
  bool sameFile = plan.record && plan.record->edition == options_.edition && plan.record->addressUrl == plan.addressUrl;
  if (sameFile) since = plan.record->addressValidators;
  std::string error;
  plan.head = Fetch(plan.addressUrl, since, "", options_.fetch, error);
  if (plan.head.result == FetchResult::kFailed) {
    message = "cannot tell whether newer data exists: " + error;
    return UpdateResult::kFailed;
  }
  if (plan.head.result == FetchResult::kMissing) {
    message = "cannot tell whether newer data exists: the server has no " + plan.addressUrl;
    return UpdateResult::kFailed;
  }
  long long dataTime = plan.record            ? plan.record->dataTime
                       : plan.current.empty() ? -1
                                              : start::Workspaces::DataTime(plan.current);
  const Validators& now = plan.head.validators;
  bool unchanged =
      plan.head.result == FetchResult::kNotModified ||
      (sameFile && ((!now.etag.empty() && now.etag == since.etag) ||
                    (now.etag.empty() && !now.lastModified.empty() && now.lastModified == since.lastModified)));
  // A workspace from the installed data knows only the time of its files,
  // which is when they were installed, not the data's date: the first
  // update fetches the full files.
  if (unchanged && dataTime >= 0) {
    message = "already current (data of " + DateText(dataTime) + ")";
    return UpdateResult::kCurrent;
  }
  // A mirror behind the data in use offers nothing newer.
  if (plan.record && plan.head.time >= 0 && plan.head.time < dataTime) {
    message = "already current (data of " + DateText(dataTime) + "; the server has the data of " +
              DateText(plan.head.time) + ")";
    return UpdateResult::kCurrent;
  }
  plan.serverTime = plan.head.time >= 0 ? plan.head.time : static_cast<long long>(std::time(nullptr));
  message = "newer data exists (data of " + DateText(plan.serverTime) + ")";
  return UpdateResult::kNewer;
}

std::string Updater::Status() const {
  std::string text;
  if (long long now = receiving_; now >= 0) {
    text = "受信中 " + Grouped(now >> 10) + (expected_ > 0 ? " / " + Grouped(expected_ >> 10) : std::string()) + " KB";
  } else if (received_ > 0) {
    text = "受信 " + Grouped(received_ >> 10) + " KB";
  }
  if (records_ >= 0) text += (text.empty() ? "" : "　") + std::string("住所 ") + Grouped(records_) + " 件";
  return text;
}

UpdateResult Updater::Check(std::string& message) {
  Plan plan;
  return Ask(plan, message);
}

bool Updater::FetchInto(const std::string& path, const std::string& name, Plan& plan, bool required, bool& missing,
                        std::string& error) {
  std::string url = options_.base + path;
  FetchOptions fetch = options_.fetch;
  fetch.progress = [this, outer = options_.fetch.progress](long long received, long long total) {
    receiving_ = received;
    expected_ = total;
    if (outer) outer(received, total);
  };
  Fetched fetched = Fetch(url, {}, plan.downloads + "/" + name, fetch, error);
  receiving_ = -1;
  if (fetched.result == FetchResult::kFetched) received_ += fetched.bytes;
  missing = fetched.result == FetchResult::kMissing;
  if (missing && required) error = "the server has no " + url;
  if (fetched.result != FetchResult::kFetched) return false;
  plan.next.files.push_back({name, url, fetched.time, fetched.sha256, fetched.bytes});
  return true;
}

int Updater::PrepareFromDifferences(Plan& plan, const StepRunner& runSteps, std::string& why, std::string& error) {
  if (!plan.record || plan.current.empty()) {
    why = "the data in use did not come from an update";
    return 0;
  }
  if (options_.edition != Edition::kCp932 || plan.record->edition != Edition::kCp932) {
    why = "monthly differences exist for the CP932 edition only";
    return 0;
  }
  Month from = MonthOf(plan.record->dataTime), to = MonthOf(plan.serverTime);
  int behind = to.index - from.index;
  if (behind < 1) {
    why = "the server's file changed within the month of the data in use";
    return 0;
  }
  if (behind > options_.maxDifferenceMonths) {
    why = "the data in use is " + std::to_string(behind) + " months behind";
    return 0;
  }
  CsvLines addresses, offices;
  if (!ReadCsvLines(plan.current + "/KEN_ALL.CSV", addresses, why) ||
      !ReadCsvLines(plan.current + "/JIGYOSYO.CSV", offices, why))
    return 0;
  // The address file as it was, which the master file in use was imported from.
  const CsvLines previousAddresses = addresses;
  plan.next.files = plan.record->files;
  for (Month month{from.index + 1}; month.index <= to.index; ++month.index) {
    CsvLines parts[4];
    const std::string paths[4] = {AddressDeletionsPath(month), AddressAdditionsPath(month), OfficeDeletionsPath(month),
                                  OfficeAdditionsPath(month)};
    for (int i = 0; i < 4; ++i) {
      bool missing = false;
      std::string name = FileName(paths[i]);
      say_("fetching " + options_.base + paths[i]);
      if (!FetchInto(paths[i], name, plan, false, missing, error)) {
        if (!missing) return -1;
        why = options_.base + paths[i] + " is not on the server";
        return 0;
      }
      if (!ReadArchiveLines(plan.downloads + "/" + name, plan.downloads + "/" + name + ".csv", parts[i], error))
        return -1;
    }
    std::string what = "the changes of " + std::to_string(month.Year()) + "-" + month.Yymm().substr(2);
    if (!ApplyDifference(addresses, parts[0].lines, parts[1].lines, what + " to the addresses", why) ||
        !ApplyDifference(offices, parts[2].lines, parts[3].lines, what + " to the business offices", why))
      return 0;
  }
  plan.workspace = workspaces_.MakeNew(error);
  if (plan.workspace.empty()) return -1;
  std::optional<std::string> setting = start::DataDirectorySetting(plan.workspace, error);
  if (!setting) return -1;
  // Of yubin start's steps only the last, which places the help file, the
  // settings and the programs, is taken: the data comes from the
  // workspace in use with the changes applied.
  start::PostalData data{"", "", installation_.DataFile(start::kHelpFile), plan.serverTime};
  start::Preparation preparation(installation_, data, plan.workspace, *setting, false);
  const int place = preparation.StepCount() - 1;
  std::string workspace = plan.workspace, previous = plan.current;
  auto enter = [workspace](std::string& e) {
    if (chdir(workspace.c_str()) == 0) return true;
    e = files::HostPathErrorText("enter", workspace, errno);
    return false;
  };
  MasterPatch patch;
  // The previous index is linked in from the first step on, beside the
  // work on the data files.
  std::optional<IndexLinker> linker;
  StepList steps;
  steps.say = say_;
  steps.status = [this] { return Status(); };
  steps.Add("住所データと事業所データを書いています", "writing KEN_ALL.CSV and JIGYOSYO.CSV with the changes",
            [&, workspace, previous](std::string& e) {
              linker.emplace(previous, workspace);
              return enter(e) && WriteCsvLines(workspace + "/KEN_ALL.CSV", addresses, e) &&
                     WriteCsvLines(workspace + "/JIGYOSYO.CSV", offices, e);
            });
  steps.Add("変わった住所を ALL_ZIP.TXT に取り込んでいます", "importing the changed rows into ALL_ZIP.TXT",
            [&, workspace, previous](std::string& e) {
              std::string master(prep::kMasterFileName);
              std::optional<std::string> previousMaster = files::ReadWholeHostFile(previous + "/" + master);
              if (!previousMaster) {
                e = files::HostPathErrorText("read", previous + "/" + master, errno);
                return false;
              }
              if (!PatchMaster(previousAddresses, *previousMaster, addresses, patch, e)) return false;
              records_ = std::count(patch.master.begin(), patch.master.end(), '\n');
              if (files::WriteWholeHostFile(workspace + "/" + master, patch.master) != 0) {
                e = files::HostPathErrorText("write", workspace + "/" + master, errno);
                return false;
              }
              say_(patch.importedWhole ? "the master file did not match the address file in use: all rows imported"
                                       : std::to_string(patch.imported.size()) + " records imported, " +
                                             std::to_string(patch.dropped.size()) + " dropped, the rest kept");
              return true;
            });
  steps.Add("変わった町名索引を書いています", "writing the index files the changes touch", [&](std::string& e) {
    IndexUpdateReport report;
    if (!enter(e) || !UpdateIndexFrom(*linker, patch, report, e)) return false;
    say_(std::to_string(report.filesWritten) + " index files written, " + std::to_string(report.filesRemoved) +
         " removed, the other " + std::to_string(report.filesLinked) + " shared with the workspace in use");
    return true;
  });
  steps.Add(preparation.WindowText(place), std::string(preparation.LineText(place)),
            [&preparation, place](std::string& e) { return preparation.Run(place, e); });
  return runSteps(steps, error) ? 1 : -1;
}

bool Updater::PrepareFromFullFiles(Plan& plan, const StepRunner& runSteps, std::string& error) {
  plan.next.files.clear();
  std::string addressPath = AddressFilePath(options_.edition);
  plan.workspace = workspaces_.MakeNew(error);
  if (plan.workspace.empty()) return false;
  std::optional<std::string> setting = start::DataDirectorySetting(plan.workspace, error);
  if (!setting) return false;
  start::PostalData data{plan.downloads + "/" + FileName(addressPath),
                         plan.downloads + "/" + FileName(OfficeFilePath()), installation_.DataFile(start::kHelpFile),
                         plan.serverTime};
  start::Preparation preparation(installation_, data, plan.workspace, *setting, true);
  StepList steps;
  steps.say = say_;
  steps.status = [this] { return Status(); };
  // The downloads are steps too, so that a window shows them, and run in
  // the background, so that it shows the bytes as they come.
  steps.AddInBackground("住所データを取り寄せています", "fetching " + options_.base + addressPath,
                        [this, &plan, addressPath](std::string& e) {
                          bool missing = false;
                          return FetchInto(addressPath, FileName(addressPath), plan, true, missing, e);
                        });
  steps.AddInBackground("事業所データを取り寄せています", "fetching " + options_.base + OfficeFilePath(),
                        [this, &plan](std::string& e) {
                          bool missing = false;
                          return FetchInto(OfficeFilePath(), FileName(OfficeFilePath()), plan, true, missing, e);
                        });
  for (int step = 0; step < preparation.StepCount(); ++step) {
    steps.Add(preparation.WindowText(step), std::string(preparation.LineText(step)),
              [this, &preparation, step](std::string& e) {
                if (!preparation.Run(step, e)) return false;
                if (records_ < 0 && preparation.RecordsImported() >= 0) {
                  records_ = preparation.RecordsImported();
                  say_(Grouped(records_) + " address records imported");
                }
                return true;
              });
    if (step != 0 || plan.current.empty()) continue;
    // No record lost beyond what a month takes away: a file much shorter
    // than the data in use is a cut or wrong one.
    std::string current = plan.current, workspace = plan.workspace;
    double share = options_.leastLineShare;
    steps.Add("住所データを確かめています", "checking the address file against the data in use",
              [current, workspace, share](std::string& e) {
                long before = CountLines(current + "/KEN_ALL.CSV"), after = CountLines(workspace + "/KEN_ALL.CSV");
                if (before <= 0 || after >= static_cast<long>(before * share)) return true;
                e = "the new address file holds " + std::to_string(after) + " lines against " + std::to_string(before) +
                    " in the data in use; it is refused as cut short";
                return false;
              });
  }
  return runSteps(steps, error);
}

bool Updater::Finish(Plan& plan, std::string& error) {
  plan.next.dataTime = plan.serverTime;
  plan.next.edition = options_.edition;
  plan.next.addressUrl = plan.addressUrl;
  plan.next.addressValidators = plan.head.validators;
  if (!WriteSourceRecord(plan.workspace, plan.next, error)) return false;
  // The stamp is never older than the installed data, so that yubin start
  // does not prepare the installed data over the update.
  long long stamp = plan.serverTime;
  std::string ignored;
  if (std::optional<start::PostalData> installed = start::InstalledData(installation_, ignored))
    stamp = std::max(stamp, installed->time);
  return start::Workspaces::MarkComplete(plan.workspace, stamp, error) && workspaces_.SwitchTo(plan.workspace, error);
}

UpdateResult Updater::Run(const StepRunner& runSteps, std::string& message) {
  std::string error;
  RootLock lock;
  if (!lock.Take(workspaces_.Root(), error)) {
    message = error;
    return UpdateResult::kFailed;
  }
  Plan plan;
  UpdateResult asked = Ask(plan, message);
  if (asked == UpdateResult::kFailed) message += "; the workspace in use stays as it was";
  if (asked != UpdateResult::kNewer) return asked;
  say_(message);

  plan.downloads = workspaces_.Root() + "/.download";
  RemoveTree(plan.downloads);
  bool done = false;
  if (mkdir(plan.downloads.c_str(), 0700) != 0) {
    error = files::HostPathErrorText("create directory", plan.downloads, errno);
  } else {
    std::string why;
    int differences = PrepareFromDifferences(plan, runSteps, why, error);
    if (differences == 0) {
      if (plan.record) say_("taking the full files: " + why);
      done = PrepareFromFullFiles(plan, runSteps, error);
    } else {
      done = differences == 1;
    }
    done = done && Finish(plan, error);
  }
  // Out of the new workspace before anything goes.
  if (chdir(workspaces_.Root().c_str()) != 0) error += "; cannot enter " + workspaces_.Root();
  RemoveTree(plan.downloads);
  if (!done) {
    if (!plan.workspace.empty()) start::Workspaces::Discard(plan.workspace);
    message = error + "; the workspace in use stays as it was";
    return UpdateResult::kFailed;
  }
  message = "updated to the data of " + DateText(plan.serverTime) + " (" +
            std::to_string(CountLines(plan.workspace + "/" + std::string(prep::kMasterFileName))) +
            " address records): " + plan.workspace;
  return UpdateResult::kUpdated;
}

}  // namespace yubin::update
