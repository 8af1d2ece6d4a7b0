// The terminal backend's figures, for the search application in a terminal
// of 120 x 40:
//
//   start-up    from process start to the main dialog drawn: tolvane run
//               on a pseudo-terminal (no display), until its output holds
//               the status line and the window's bottom edge after it; the
//               median of 20 runs.
//   redraw      a full redraw of the main dialog (every cell written again
//               through the terminal library), in process on a pseudo-
//               terminal; the median of 50, and the bytes it writes.
//   key press   an arrow key moving the focus across the keypad, from the
//               bytes sent to the screen updated (read, delivered, drawn
//               and written); the median of 100, and the bytes written per
//               key press.
//
// usage: terminal_bench [DIR]   DIR holds "Tolvane.ini" naming a prepared
// data directory (default: the bundled data in demo/, which
// scripts/prepare-data.sh prepares).
#include <poll.h>
#include <pty.h>  // forkpty
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/figures.h"
#include "platform/dialog/backend.h"
#include "platform/seam.h"
#include "search/ui/app_resources.h"
#include "search/ui/main_dialog.h"
#include "search/ui/tolvane_app.h"
#include "tests/platform/dialog/terminal/pseudo_terminal.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using bench::Median;
using bench::Milliseconds;
using bench::Report;
using terminal_test::PseudoTerminal;

// tolvane started on a pseudo-terminal of 120 x 40 in `dir`: the
// milliseconds until the main dialog is drawn, or -1.
double StartUp(const std::string& program, const std::string& dir) {
  winsize size{};
  size.ws_row = 40;
  size.ws_col = 120;
  int master = -1;
  Clock::time_point start = Clock::now();
  pid_t pid = forkpty(&master, nullptr, nullptr, &size);
  if (pid < 0) return -1;
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("DIALOG_SCRIPT");
    unsetenv("DIALOG_BACKEND");
    unsetenv("DIALOG_TERMINAL_IN_USE");
    setenv("TERM", "xterm-256color", 1);
    setenv("LANG", "C.UTF-8", 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string seen;
  double ms = -1;
  char buffer[16384];
  while (ms < 0) {
    pollfd fd{master, POLLIN, 0};
    if (poll(&fd, 1, 5000) <= 0) break;
    ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
    std::size_t status = seen.find("検索終了");
    if (status != std::string::npos && seen.find("┘", status) != std::string::npos)
      ms = Milliseconds(Clock::now() - start);
  }
  kill(pid, SIGTERM);
  // Its output to the end, so that it is not held up writing.
  for (pollfd fd{master, POLLIN, 0}; poll(&fd, 1, 1000) > 0 && read(master, buffer, sizeof buffer) > 0;) {
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(master);
  return ms;
}

// Waits until the backend's output has stopped arriving; returns the bytes
// written so far.
long Settled(PseudoTerminal& tty) {
  long last = tty.BytesWritten();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    long now = tty.BytesWritten();
    if (now == last) return now;
    last = now;
  }
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::path(YUBIN_SOURCE_DIR) / "demo";
  if (!fs::exists(dir / "Tolvane.ini")) {
    std::fprintf(stderr, "%s holds no Tolvane.ini: run  bash scripts/prepare-data.sh  first, or name a directory\n",
                 dir.c_str());
    return 1;
  }
  dir = fs::absolute(dir);

  std::vector<double> startUp;
  for (int i = 0; i < 20; ++i)
    if (double ms = StartUp(TOLVANE_PROGRAM, dir.string()); ms >= 0) startUp.push_back(ms);
  Report("start-up to the main dialog drawn", startUp, 50);

  // In process: the main dialog on a pseudo-terminal of the same size.
  if (chdir(dir.c_str()) != 0) return 1;
  namespace dlg = platform::dialog;
  search::ui::RegisterAppResources();
  search::ui::TolvaneApp app;
  PseudoTerminal tty(40, 120);
  platform::ScopedOverride<dlg::Backend*> inForce(dlg::BackendInForce(), &tty.Backend());
  search::ui::MainDialog dialog;

  std::vector<double> redraw;
  std::vector<double> redrawBytes;
  std::vector<double> press;
  std::vector<double> pressBytes;
  int step = 0;
  Clock::time_point sent;
  long before = 0;
  bool right = true;
  tty.Backend().SetIdleHook([&]() -> int {
    if (tty.InputPending()) return 0;
    if (step == 0) {
      // Onto the keypad: Shift+Tab to 終了, up into the keys.
      tty.Send(std::string(PseudoTerminal::kBackTab) + std::string(PseudoTerminal::kUp) +
               std::string(PseudoTerminal::kUp) + std::string(PseudoTerminal::kUp) + std::string(PseudoTerminal::kUp));
      ++step;
      return 0;
    }
    if (step <= 50) {
      before = Settled(tty);
      Clock::time_point start = Clock::now();
      tty.Backend().RedrawAll();
      redraw.push_back(Milliseconds(Clock::now() - start));
      redrawBytes.push_back(static_cast<double>(Settled(tty) - before));
      ++step;
      return 0;
    }
    if (step > 51) {
      press.push_back(Milliseconds(Clock::now() - sent));
      pressBytes.push_back(static_cast<double>(Settled(tty) - before));
    }
    if (step == 151) {
      dialog.EndDialog(dlg::kIdOk);
      return 0;
    }
    before = Settled(tty);
    sent = Clock::now();
    tty.Send(right ? PseudoTerminal::kRight : PseudoTerminal::kLeft);
    right = !right;
    ++step;
    return 0;
  });
  dialog.DoModal();
  Report("full redraw of the main dialog", redraw, 5);
  Report("key press on the keypad to screen updated", press, 5);
  std::printf("%-52s  full redraw %.0f bytes, key press %.0f bytes (medians)\n", "bytes written", Median(redrawBytes),
              Median(pressBytes));
  return 0;
}
