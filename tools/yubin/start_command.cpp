// yubin start: the search application as a menu starts it. Makes the
// user's workspace on the first start (and again when the installed data is
// newer than the workspace's, or from the data named by --data), showing
// its progress, and then becomes tolvane in that workspace. With --tool it
// prepares a workspace without its index and runs kestrum there to build
// it; the workspace is taken into use when kestrum has built one.
#include <spawn.h>     // posix_spawn
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // chdir, execv, getcwd

#include <algorithm>  // std::max, std::min
#include <cerrno>
#include <climits>  // PATH_MAX
#include <csignal>  // std::signal, SIGXFSZ
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::getenv, setenv
#include <cstring>  // std::strerror
#include <ctime>    // std::time
#include <filesystem>
#include <optional>

#include "platform/dialog/message_box.h"
#include "platform/dialog/program.h"
#include "platform/dialog/template.h"
#include "platform/directory_lock.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"
#include "tools/yubin/commands.h"
#include "tools/yubin/start/installation.h"
#include "tools/yubin/start/preparation.h"
#include "tools/yubin/start/progress_dialog.h"
#include "tools/yubin/start/workspace.h"
#include "tools/yubin/update/notice.h"

extern char** environ;

namespace yubin {

using namespace yubin::start;

const char kStartUsage[] =
    "usage: yubin start [--data DIR] [--tool] [--info]\n"
    "\n"
    "Starts the search application, tolvane, in the workspace below\n"
    "$XDG_DATA_HOME/yubin (by default ~/.local/share/yubin), which holds its\n"
    "Tolvane.ini, the kana town index, the CSV files and links to qgrep and\n"
    "vesk. The first start makes the workspace from the installed postal data,\n"
    "and so does a start after the installed data has become newer than the\n"
    "workspace's: it takes the CSV files out of their archives, imports the\n"
    "master file, builds the index and writes Tolvane.ini, showing each step\n"
    "in a progress window (on a terminal line where no display is reached or a\n"
    "script is named in DIALOG_SCRIPT, which is then the search application's).\n"
    "The new workspace is made beside the one in use and taken into use only\n"
    "when complete: a preparation that fails says what failed, ends with\n"
    "status 1 and leaves the workspace in use as it was.\n"
    "\n"
    "  --data DIR  prepare from postal data downloaded into DIR: ken_all.zip or\n"
    "              KEN_ALL.CSV, and jigyosyo.zip or JIGYOSYO.CSV\n"
    "  --tool      prepare a workspace without its index and start the data\n"
    "              preparation tool, kestrum, there; when it has built the index\n"
    "              (press its wide button once, then OK), that workspace is taken\n"
    "              into use\n"
    "  --info      print the workspace in use, its data's date and where its\n"
    "              files came from (address, date, SHA-256), and end\n"
    "\n"
    "Data older than 40 days is pointed out, once a month at most, with a line\n"
    "saying that yubin update can bring it up to date.\n"
    "\n"
    "Exit status: the search application's; 1 when the preparation fails or a\n"
    "program cannot be started; 2 for a wrong command line.\n";

namespace {

struct StartOptions {
  std::optional<std::string> dataDirectory;
  bool tool = false;
  bool info = false;
};

int Fail(const std::string& what) {
  std::fprintf(stderr, "yubin start: %s\n", what.c_str());
  return 1;
}

std::optional<StartOptions> ParseOptions(const std::vector<std::string>& args) {
  StartOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tool") {
      options.tool = true;
    } else if (args[i] == "--info") {
      options.info = true;
    } else if (args[i] == "--data" && i + 1 < args.size()) {
      options.dataDirectory = args[++i];
    } else if (args[i].starts_with("--data=")) {
      options.dataDirectory = args[i].substr(7);
    } else {
      std::fprintf(stderr, "yubin start: unexpected '%s' (see yubin start --help)\n", args[i].c_str());
      return std::nullopt;
    }
  }
  return options;
}

// A script named by a relative path stays the same file after the start
// has moved into the workspace.
void AnchorScriptPath() {
  const char* script = std::getenv("DIALOG_SCRIPT");
  if (script == nullptr || script[0] == '\0' || script[0] == '/') return;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(script, ec);
  if (!ec) setenv("DIALOG_SCRIPT", absolute.c_str(), 1);
}

// Becomes the program, with the workspace as its current directory.
// Returns only when that fails.
int BecomeProgram(const Installation& installation, const std::string& workspace, const char* name) {
  if (chdir(workspace.c_str()) != 0) return Fail("cannot enter " + workspace + ": " + std::strerror(errno));
  // The program holds the workspace from its first instant: a start on
  // another terminal, switching meanwhile, leaves it where it is.
  platform::DirectoryLock held(workspace, platform::DirectoryLock::Kind::kShared);
  held.KeepAcrossExec();
  std::string path = installation.Program(name);
  std::signal(SIGXFSZ, SIG_DFL);
  char* argv[] = {const_cast<char*>(name), nullptr};
  execv(path.c_str(), argv);
  return Fail("cannot start " + path + ": " + std::strerror(errno));
}

// Runs the program in the workspace and waits for it: its exit status, or
// -1 when it could not be started or did not end by itself.
int RunProgram(const Installation& installation, const std::string& workspace, const char* name) {
  if (chdir(workspace.c_str()) != 0) return -1;
  std::string path = installation.Program(name);
  char* argv[] = {const_cast<char*>(name), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The steps one line each on stderr.
bool PrepareWithLines(Preparation& preparation, std::string& error) {
  for (int step = 0; step < preparation.StepCount(); ++step) {
    std::fprintf(stderr, "yubin start: [%d/%d] %.*s\n", step + 1, preparation.StepCount(),
                 static_cast<int>(preparation.LineText(step).size()), preparation.LineText(step).data());
    if (!preparation.Run(step, error)) return false;
  }
  return true;
}

bool PrepareWithWindow(Preparation& preparation, const std::string& note, std::string& error) {
  ProgressDialog dialog(preparation, note);
  if (dialog.DoModal() == platform::dialog::kIdOk) return true;
  error = dialog.Error().empty() ? std::string("the progress window could not be shown") : dialog.Error();
  return false;
}

// Whether kestrum built an index below the workspace's Zip_Code.
bool HasIndex(const std::string& workspace) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(workspace + "/Zip_Code", ec))
    if (entry.path().filename().string().starts_with("N_")) return true;
  return false;
}

// Fills the new workspace and makes it complete: the steps (in the progress
// window or as lines), with --tool kestrum's run, and the stamp.
bool FillWorkspace(const Installation& installation, const PostalData& data, const std::string& workspace, bool tool,
                   bool windows, const std::string& note, std::string& error) {
  std::optional<std::string> setting = DataDirectorySetting(workspace, error);
  if (!setting) return false;
  Preparation preparation(installation, data, workspace, *setting, !tool);
  if (!windows)
    std::fprintf(stderr, "yubin start: preparing %s from %s and %s\n", workspace.c_str(), data.kenAll.c_str(),
                 data.jigyosyo.c_str());
  if (!(windows ? PrepareWithWindow(preparation, note, error) : PrepareWithLines(preparation, error))) return false;
  if (tool) {
    int status = RunProgram(installation, workspace, "kestrum");
    if (status != 0 || !HasIndex(workspace)) {
      error = "kestrum built no index (exit status " + std::to_string(status) + ")";
      return false;
    }
  }
  return Workspaces::MarkComplete(workspace, data.time, error);
}

// A UTF-8 message (a host path in it may hold any character) in CP932 for
// a box: a character CP932 lacks becomes "?".
std::string BoxText(std::string_view utf8) {
  std::string out;
  for (size_t at = 0; at < utf8.size();) {
    size_t length = platform::text::DecodeUtf8At(utf8, at).length;
    std::optional<std::string> one = platform::text::ToCp932Strict(utf8.substr(at, length));
    out += one ? *one : "?";
    at += length;
  }
  return out;
}

}  // namespace

int RunStart(const std::vector<std::string>& args) {
  std::optional<StartOptions> options = ParseOptions(args);
  if (!options) return 2;
  // A write beyond the file size limit fails with a reason like any other,
  // rather than ending the process half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  AnchorScriptPath();

  std::string error;
  if (options->info) {
    std::optional<std::string> infoRoot = Workspaces::DefaultRoot(error);
    if (!infoRoot) return Fail(error);
    std::fputs(update::DescribeWorkspace(*infoRoot, Workspaces(*infoRoot).Current()).c_str(), stdout);
    return 0;
  }
  std::optional<Installation> installation = FindInstallation(error);
  if (!installation) return Fail(error);
  std::optional<std::string> root = Workspaces::DefaultRoot(error);
  if (!root) return Fail(error);
  Workspaces workspaces(*root);
  std::optional<PostalData> data = options->dataDirectory
                                       ? DownloadedData(*options->dataDirectory, *installation, error)
                                       : InstalledData(*installation, error);
  if (!data) return Fail(error);
  // A workspace made from downloaded data counts as at least as new as the
  // installed data: a download dated before the installed files (a server's
  // date kept) must not be replaced by the installed data at the next start.
  // A download dated in the future (a server's clock set wrong) counts as
  // made now, so that its stamp never outranks later updates.
  const long long now = std::time(nullptr);
  if (options->dataDirectory) {
    std::optional<PostalData> installed = InstalledData(*installation, error);
    if (!installed) return Fail(error);
    data->time = std::max(std::min(data->time, now), installed->time);
  }

  // The usual start: a complete workspace whose data is as new as the
  // installed one, and nothing asked to be prepared.
  bool asked = options->tool || options->dataDirectory;
  auto inUse = [&]() -> std::string {
    std::string current = workspaces.Current();
    return !asked && !current.empty() && Workspaces::HoldsDataOf(current, data->time, now) ? current : std::string();
  };
  std::string current = inUse();
  if (current.empty()) {
    // Another start may be preparing; once it is done, its workspace may do.
    if (!workspaces.Lock(error)) return Fail(error);
    current = inUse();
  }
  if (!current.empty()) {
    if (std::optional<update::Notice> notice = update::DueNotice(*root, current, now))
      std::fprintf(stderr, "yubin start: %s\n", notice->line.c_str());
    if (!PlaceProgramLinks(*installation, current, error))
      std::fprintf(stderr, "yubin start: %s; the regular-expression search will not work\n", error.c_str());
    return BecomeProgram(*installation, current, "tolvane");
  }

  bool windows = platform::dialog::WindowSystemAvailable();
  if (windows) RegisterProgressIcon();
  // Data as old as the installed data can be is worth an update too: said
  // on the terminal, or in the window's status line.
  std::optional<update::Notice> notice = update::DueNotice(*root, data->time, now);
  if (notice && !windows) std::fprintf(stderr, "yubin start: %s\n", notice->line.c_str());
  std::string note = notice && windows ? notice->window : std::string();
  std::string workspace = workspaces.MakeNew(error);
  if (workspace.empty() || !FillWorkspace(*installation, *data, workspace, options->tool, windows, note, error) ||
      !workspaces.SwitchTo(workspace, error)) {
    if (!workspace.empty()) {
      // Out of the workspace before it goes.
      if (chdir(root->c_str()) != 0) error += "; cannot enter " + *root + ": " + std::strerror(errno);
      Workspaces::Discard(workspace);
    }
    Fail(error + "; the workspace in use stays as it was");
    if (!windows) return 1;
    platform::dialog::MessageBox(platform::text::Cp932("郵便番号データを準備できませんでした。\n") + BoxText(error) +
                                     platform::text::Cp932("\n使っていたデータは、そのまま残っています。"),
                                 platform::text::Cp932("エラー"));
    return platform::dialog::ProgramEnd(1);
  }
  if (options->tool) {
    std::fprintf(stderr, "yubin start: the index kestrum built is in use: %s\n", workspace.c_str());
    return windows ? platform::dialog::ProgramEnd(0) : 0;
  }
  if (!windows) std::fprintf(stderr, "yubin start: prepared %s\n", workspace.c_str());
  return BecomeProgram(*installation, workspace, "tolvane");
}

}  // namespace yubin
