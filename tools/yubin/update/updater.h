// yubin update's work, without its command line: asks the server whether
// its address file is newer than the data of the workspace in use, fetches
// the full files (or, for a workspace a few months behind, the months'
// difference files) into the root's ".download" directory, prepares a new
// workspace from them through the same steps as yubin start, and switches
// to it with the same one rename. Whatever fails on the way, the
// workspace in use stays current and unchanged, and the message says what
// failed; the next run starts afresh. Does not decide how steps are shown:
// the caller passes a runner (lines on a terminal, the progress window).
// The workspaces' lock is held while Run runs and let go when it returns.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "tools/yubin/start/installation.h"
#include "tools/yubin/start/progress_dialog.h"
#include "tools/yubin/start/workspace.h"
#include "tools/yubin/update/download.h"
#include "tools/yubin/update/sources.h"

namespace yubin::update {

struct UpdateOptions {
  std::string base = kDefaultBase;  // ends in "/"
  Edition edition = Edition::kCp932;
  FetchOptions fetch;
  // Further behind than this, the full files are fetched.
  int maxDifferenceMonths = 6;
  // A full address file with fewer lines than this share of the data in use
  // is refused as implausible.
  double leastLineShare = 0.9;
};

enum class UpdateResult {
  kUpdated,  // a new workspace is current
  kNewer,    // (Check) the server has newer data
  kCurrent,  // nothing newer on the server
  kFailed,   // see the message; the workspace in use is as it was
};

// Runs a list of steps, shown as the caller likes: true, or false with
// `error` from the failing step.
using StepRunner = std::function<bool(start::Steps& steps, std::string& error)>;

class Updater {
 public:
  // `say` takes a line of news for the person (what is fetched, which way
  // the update goes and why).
  Updater(start::Installation installation, start::Workspaces& workspaces, UpdateOptions options,
          std::function<void(const std::string&)> say);

  // Whether the server has newer data: kNewer, kCurrent, or kFailed when
  // it cannot tell. `message` says which, with the data's date.
  UpdateResult Check(std::string& message);

  // The whole update under the workspaces' lock. `message` says what was
  // done, or what failed and why.
  UpdateResult Run(const StepRunner& runSteps, std::string& message);

 private:
  struct Plan;
  UpdateResult Ask(Plan& plan, std::string& message);
  // 1: applied, 0: not applicable (`why` says so), -1: failed (`error`).
  int PrepareFromDifferences(Plan& plan, const StepRunner& runSteps, std::string& why, std::string& error);
  bool PrepareFromFullFiles(Plan& plan, const StepRunner& runSteps, std::string& error);
  bool FetchInto(const std::string& path, const std::string& name, Plan& plan, bool required, bool& missing,
                 std::string& error);
  bool Finish(Plan& plan, std::string& error);
  // The progress window's status line (UTF-8): the bytes received and the
  // address records imported, once known.
  std::string Status() const;

  start::Installation installation_;
  start::Workspaces& workspaces_;
  UpdateOptions options_;
  std::function<void(const std::string&)> say_;
  // Written by a download's thread, read by the window's.
  std::atomic<long long> receiving_{-1};  // of the file being fetched
  std::atomic<long long> expected_{0};    // its size, where the server said
  std::atomic<long long> received_{0};    // of the files fetched whole
  std::atomic<long long> records_{-1};
};

}  // namespace yubin::update
