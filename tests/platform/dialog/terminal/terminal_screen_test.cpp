// The terminal's input read back as keys and clicks, on a pseudo-terminal.
#include "platform/dialog/terminal/terminal_screen.h"

#include <gtest/gtest.h>
#include <pty.h>  // openpty
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace platform::dialog::terminal {
namespace {

TEST(TerminalScreen, ClicksThatArriveTogetherAreEachReportedInTheirOrder) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  int master = -1, slave = -1;
  winsize size{24, 80, 0, 0};
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, &size), 0);
  TerminalScreen::Setup setup;
  setup.inFd = slave;
  setup.outFd = slave;
  setup.type = "xterm-256color";
  setup.programTerminal = false;
  std::string problem;
  std::unique_ptr<TerminalScreen> screen = TerminalScreen::Open(setup, problem);
  ASSERT_NE(screen, nullptr) << problem;
  // A double click in one read, as a slow line brings it: once only the
  // second click was reported.
  std::string_view clicks = "\x1b[<0;5;3M\x1b[<0;5;3m\x1b[<0;9;4M\x1b[<0;9;4m";
  ASSERT_EQ(::write(master, clicks.data(), clicks.size()), static_cast<ssize_t>(clicks.size()));
  int pending = 0;
  for (int i = 0; i < 2000 && pending < static_cast<int>(clicks.size()); ++i) {
    ::ioctl(slave, FIONREAD, &pending);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::vector<std::pair<int, int>> pressed;
  while (std::optional<Input> input = screen->Next()) {
    EXPECT_EQ(input->kind, Input::Kind::kMouse);
    EXPECT_EQ(input->mouse, Input::Mouse::kPress);
    pressed.emplace_back(input->row, input->col);
  }
  EXPECT_EQ(pressed, (std::vector<std::pair<int, int>>{{2, 4}, {3, 8}}));
  screen.reset();
  ::close(slave);
  ::close(master);
}

}  // namespace
}  // namespace platform::dialog::terminal
