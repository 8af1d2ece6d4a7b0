// yubin update: the postal data made current from the postal authority's
// server (updater.h does the work); its options, its lines on stderr, the
// progress window where a display is reachable, and its exit status.
#include <unistd.h>  // isatty

#include <algorithm>  // std::min
#include <csignal>    // std::signal, SIGXFSZ, SIGPIPE
#include <cstdio>     // std::fprintf
#include <cstdlib>    // std::strtol
#include <optional>

#include "platform/dialog/program.h"
#include "tools/yubin/commands.h"
#include "tools/yubin/start/installation.h"
#include "tools/yubin/start/progress_dialog.h"
#include "tools/yubin/start/workspace.h"
#include "tools/yubin/update/updater.h"

namespace yubin {

const char kUpdateUsage[] =
    "usage: yubin update [--check] [--quiet] [--edition cp932|utf8] [--from URL]\n"
    "\n"
    "Makes the postal data of the workspace below $XDG_DATA_HOME/yubin current\n"
    "from the postal authority's server. Asks first whether the address file\n"
    "changed since the last update (a conditional request: nothing is\n"
    "downloaded when it did not). A workspace made by an earlier update and a\n"
    "few months behind takes the months' difference files, applied to its\n"
    "data; otherwise, or where a month's file is missing or does not apply,\n"
    "the full files are fetched. The new data is prepared into a new workspace\n"
    "beside the one in use, as yubin start prepares one, and taken into use\n"
    "only when complete: a failed download or preparation says what failed,\n"
    "ends with status 1 and leaves the workspace in use as it was.\n"
    "\n"
    "  --check         only tell whether newer data exists\n"
    "  --quiet         no lines but errors, no window (for the monthly timer)\n"
    "  --edition E     cp932 (ken_all.zip, the default) or utf8 (utf_ken_all.zip)\n"
    "  --from URL      another base address with the same paths below it (a\n"
    "                  mirror); https, or http to this machine only\n"
    "  --timeout SEC   give up on a server silent for SEC seconds (default 60)\n"
    "\n"
    "Exit status: 0 updated or already current, 1 failed, 2 wrong command\n"
    "line; with --check 0 newer data exists, 1 current, 2 cannot tell.\n";

namespace {

using namespace yubin::start;
using namespace yubin::update;

struct Options {
  UpdateOptions update;
  bool check = false;
  bool quiet = false;
};

std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool hasValue = i + 1 < args.size();
    if (arg == "--check") {
      options.check = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--from" && hasValue) {
      options.update.base = args[++i];
    } else if (arg == "--edition" && hasValue && (args[i + 1] == "cp932" || args[i + 1] == "utf8")) {
      options.update.edition = args[++i] == "utf8" ? Edition::kUtf8 : Edition::kCp932;
    } else if (arg == "--timeout" && hasValue && std::strtol(args[i + 1].c_str(), nullptr, 10) > 0) {
      options.update.fetch.lowSpeedSeconds = std::strtol(args[++i].c_str(), nullptr, 10);
      options.update.fetch.connectSeconds =
          std::min(options.update.fetch.connectSeconds, options.update.fetch.lowSpeedSeconds);
    } else {
      std::fprintf(stderr, "yubin update: unexpected '%s' (see yubin update --help)\n", arg.c_str());
      return std::nullopt;
    }
  }
  if (!IsAllowedUrl(options.update.base)) {
    std::fprintf(stderr, "yubin update: %s: only https addresses are taken (plain http only to this machine)\n",
                 options.update.base.c_str());
    return std::nullopt;
  }
  return options;
}

bool RunWithLines(Steps& steps, std::string& error) { return RunAllSteps(steps, error); }

bool RunWithWindow(Steps& steps, std::string& error) {
  ProgressDialog dialog(steps);
  if (dialog.DoModal() == platform::dialog::kIdOk) return true;
  error = dialog.Error().empty() ? std::string("the progress window could not be shown") : dialog.Error();
  return false;
}

}  // namespace

int RunUpdate(const std::vector<std::string>& args) {
  std::optional<Options> options = ParseOptions(args);
  if (!options) return 2;
  // A write over the file size limit fails with a reason; a connection the
  // server closed fails the transfer, not the process.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  int failed = options->check ? 2 : 1;
  std::string error;
  std::optional<Installation> installation = FindInstallation(error);
  std::optional<std::string> root = installation ? Workspaces::DefaultRoot(error) : std::nullopt;
  if (!root) {
    std::fprintf(stderr, "yubin update: %s\n", error.c_str());
    return failed;
  }
  bool terminal = isatty(2) != 0 && !options->quiet;
  if (terminal) {
    options->update.fetch.progress = [](long long received, long long total) {
      if (total > 0)
        std::fprintf(stderr, "\r  %lld of %lld KiB ", received >> 10, total >> 10);
      else
        std::fprintf(stderr, "\r  %lld KiB ", received >> 10);
    };
  }
  auto say = [&](const std::string& line) {
    if (options->quiet) return;
    std::fprintf(stderr, "%syubin update: %s\n", terminal ? "\r\033[K" : "", line.c_str());
  };
  Workspaces workspaces(*root);
  Updater updater(*installation, workspaces, options->update, say);
  std::string message;
  if (options->check) {
    UpdateResult result = updater.Check(message);
    std::fprintf(stderr, "yubin update: %s\n", message.c_str());
    return result == UpdateResult::kNewer ? 0 : result == UpdateResult::kCurrent ? 1 : 2;
  }
  bool windows = !options->quiet && platform::dialog::WindowSystemAvailable();
  if (windows) RegisterProgressIcon();
  UpdateResult result = updater.Run(windows ? StepRunner(RunWithWindow) : StepRunner(RunWithLines), message);
  int status = result == UpdateResult::kFailed ? 1 : 0;
  if (status != 0 || !options->quiet)
    std::fprintf(stderr, "%syubin update: %s\n", terminal ? "\r\033[K" : "", message.c_str());
  return windows ? platform::dialog::ProgramEnd(status) : status;
}

}  // namespace yubin
