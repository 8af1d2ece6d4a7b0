// The search application's figures:
//
//   start-up  from process start to the main dialog shown and the settings
//             read: tolvane_startup_probe (tolvane's start-up that says
//             "shown" at that point and ends) on the offscreen Qt platform
//             and on the headless backend, and tolvane itself run by a
//             script whose first line prints the status line; the median
//             of 20 runs each.
//   search    one keypad search, from the click on "検索開始" to the result
//             box filled, through the main dialog on the headless backend:
//             the Sapporo example (Chuo ward, towns ﾐﾅ) and the largest index file (N_ｼ\ﾆｼ);
//             the median of 50 searches each.
//
// usage: tolvane_bench [DIR]   DIR holds "Tolvane.ini" naming a prepared
// data directory (default: the bundled data in demo/, which
// scripts/prepare-data.sh prepares).
#include <fcntl.h>     // open
#include <spawn.h>     // posix_spawn
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // pipe, read, close

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "search/ui/keypad_keys.h"
#include "search/ui/main_dialog.h"
#include "search/ui/resource.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using bench::Median;
using bench::Milliseconds;
using bench::Report;

// The environment of this process with the given variables changed
// (NAME=VALUE) or removed (NAME=).
std::vector<std::string> Environment(const std::vector<std::string>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    bool changed = false;
    for (const std::string& c : changes)
      if (entry.compare(0, c.find('=') + 1, c, 0, c.find('=') + 1) == 0) changed = true;
    if (!changed) env.push_back(entry);
  }
  for (const std::string& c : changes)
    if (c.back() != '=') env.push_back(c);
  return env;
}

// Starts `program` in `env` and waits until a line starting with `marker`
// arrives on its standard output: the milliseconds from just before the
// start to that line, or -1. The process is then waited for.
double TimeToLine(const std::string& program, const std::vector<std::string>& env, const std::string& marker,
                  const char* argument) {
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument), nullptr};
  pid_t pid = 0;
  Clock::time_point start = Clock::now();
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  double ms = -1;
  if (spawned == 0) {
    std::string seen;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
      seen.append(buffer, static_cast<std::size_t>(n));
      if (ms < 0 && (seen.starts_with(marker) || seen.find("\n" + marker) != std::string::npos))
        ms = Milliseconds(Clock::now() - start);
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
  close(out[0]);
  return ms;
}

std::vector<double> StartUps(const std::string& program, const std::vector<std::string>& env, const std::string& marker,
                             const char* argument = nullptr) {
  std::vector<double> ms;
  for (int run = 0; run < 20; ++run) {
    double t = TimeToLine(program, env, marker, argument);
    if (t >= 0) ms.push_back(t);
  }
  return ms;
}

// Clicks on the keys of half-width kana letters (UTF-8).
void Keys(platform::dialog::headless::HeadlessBackend& backend, std::string_view letters) {
  for (std::size_t at = 0; at < letters.size(); at += 3)
    for (const platform::dialog::KeyRow& key : search::ui::kKeypadKeys)
      if (key.passes == letters.substr(at, 3)) backend.Click(key.id);
}

// Keys a request, then times `searches` clicks on "検索開始", each to its
// result in the box.
std::vector<double> Searches(void (*keyRequest)(platform::dialog::headless::HeadlessBackend&), int searches,
                             std::size_t& resultBytes) {
  platform::dialog::headless::HeadlessBackend backend;
  platform::ScopedOverride inForce(platform::dialog::BackendInForce(), &backend);
  search::ui::MainDialog dialog;
  std::vector<double> ms;
  Clock::time_point start;
  keyRequest(backend);
  for (int i = 0; i < searches; ++i) {
    backend.Do([&] { start = Clock::now(); }).Click(search::ui::kSearchButton).Do([&] {
      ms.push_back(Milliseconds(Clock::now() - start));
      resultBytes = dialog.Text(search::ui::kResultEdit).size();
    });
  }
  backend.Escape();
  dialog.DoModal();
  for (const std::string& e : backend.Errors()) std::fprintf(stderr, "search run: %s\n", e.c_str());
  if (!backend.MessageBoxes().empty()) std::fprintf(stderr, "search run: a message box was shown\n");
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path data = argc > 1 ? fs::path(argv[1]) : fs::path(YUBIN_SOURCE_DIR "/demo");
  std::ifstream settings(data / "Tolvane.ini", std::ios::binary);
  if (!settings) {
    std::fprintf(stderr, "no %s: run scripts/prepare-data.sh first, or name a directory holding one\n",
                 (data / "Tolvane.ini").c_str());
    return 1;
  }
  std::string record((std::istreambuf_iterator<char>(settings)), {});

  // Each run works in a directory of its own holding a copy of the
  // settings file, as tolvane's working directory would.
  fs::path work = fs::temp_directory_path() / ("tolvane_bench_" + std::to_string(getpid()));
  fs::create_directories(work);
  std::ofstream(work / "Tolvane.ini", std::ios::binary) << record;
  fs::current_path(work);
  std::ofstream("script.txt") << "print 1215\nescape\n";
  std::ofstream("empty.txt");

  std::printf("start-up, process start to the main dialog shown and the settings read (20 runs)\n");
  Report("probe, Qt (offscreen)",
         StartUps(STARTUP_PROBE, Environment({"QT_QPA_PLATFORM=offscreen", "DIALOG_SCRIPT=", "DISPLAY="}), "shown"),
         100);
  Report("probe, headless backend", StartUps(STARTUP_PROBE, Environment({"DIALOG_SCRIPT=empty.txt"}), "shown"), 20);
  Report("tolvane, headless backend (scripted print)",
         StartUps(TOLVANE_PROGRAM, Environment({"DIALOG_SCRIPT=script.txt"}), "1215: "), 20);
  // A program maps Qt's libraries only once it has chosen the Qt backend
  // (a module), so the headless figures stand on this floor alone.
  Report("floor: the probe's libraries loaded, no more",
         StartUps(STARTUP_PROBE, Environment({"DIALOG_SCRIPT=empty.txt"}), "shown", "floor"), 0);
  // What Qt alone costs before its first dialog is up: the floor under the
  // Qt figure.
  Report("reference: a bare Qt dialog (offscreen)",
         StartUps(QT_FLOOR_PROBE, Environment({"QT_QPA_PLATFORM=offscreen", "DISPLAY="}), "shown"), 0);
  // What starting any process costs on this machine at this moment, to
  // read the figures above against.
  Report("reference: /bin/echo, a process and no more", StartUps("/bin/echo", Environment({}), "shown", "shown"), 0);

  std::printf("one keypad search, click on 1045 to the result box filled, headless backend (50 searches)\n");
  std::size_t bytes = 0;
  std::vector<double> sapporo = Searches(
      [](platform::dialog::headless::HeadlessBackend& b) {
        Keys(b, "ﾎｻﾁ");
        b.Click(search::ui::kSkipButton);
        Keys(b, "ﾐﾅ");
      },
      50, bytes);
  Report("Sapporo example (index file N_SA\\MINA)", sapporo, 2);
  std::printf("%-44s  %zu bytes shown\n", "", bytes);
  std::vector<double> largest = Searches(
      [](platform::dialog::headless::HeadlessBackend& b) {
        b.Click(search::ui::kSkipButton);
        Keys(b, "ｼ");
        b.Click(search::ui::kSkipButton).Click(search::ui::kSkipButton);
        Keys(b, "ﾆｼ");
      },
      50, bytes);
  Report("largest index file (N_SHI\\NISHI, all of it)", largest, 2);
  std::printf("%-44s  %zu bytes shown (page 1)\n", "", bytes);

  fs::current_path(data);
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}
