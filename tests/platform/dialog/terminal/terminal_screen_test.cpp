// The terminal's input read back as keys and clicks, on a pseudo-terminal.
#include "platform/dialog/terminal/terminal_screen.h"

#include <fcntl.h>  // open
#include <gtest/gtest.h>
#include <pty.h>  // openpty
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace platform::dialog::terminal {
namespace {

using Clock = std::chrono::steady_clock;

class TerminalInput : public ::testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    winsize size{24, 80, 0, 0};
    ASSERT_EQ(::openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
    TerminalScreen::Setup setup;
    setup.inFd = slave_;
    setup.outFd = slave_;
    setup.type = "xterm-256color";
    setup.programTerminal = false;
    std::string problem;
    screen_ = TerminalScreen::Open(setup, problem);
    ASSERT_NE(screen_, nullptr) << problem;
  }
  void TearDown() override {
    screen_.reset();
    ::close(slave_);
    ::close(master_);
  }

  // Sends bytes and waits until the screen's side can read them.
  void Send(std::string_view bytes) {
    int before = 0;
    ::ioctl(slave_, FIONREAD, &before);
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    int pending = before;
    for (int i = 0; i < 2000 && pending < before + static_cast<int>(bytes.size()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ::ioctl(slave_, FIONREAD, &pending);
    }
  }

  // What is there to read, each input in a few words.
  std::vector<std::string> ReadAll() {
    std::vector<std::string> read;
    while (std::optional<Input> input = screen_->Next()) {
      if (input->kind == Input::Kind::kMouse)
        read.push_back("click " + std::to_string(input->row) + "," + std::to_string(input->col));
      else if (input->kind == Input::Kind::kChar)
        read.push_back(std::string(input->alt ? "alt " : "") + "U+" + std::to_string(input->code));
      else
        read.push_back("key " + std::to_string(static_cast<int>(input->key)));
    }
    return read;
  }

  int master_ = -1;
  int slave_ = -1;
  std::unique_ptr<TerminalScreen> screen_;
};

TEST_F(TerminalInput, ClicksThatArriveTogetherAreEachReportedInTheirOrder) {
  // A double click in one read, as a slow line brings it: once only the
  // second click was reported.
  Send("\x1b[<0;5;3M\x1b[<0;5;3m\x1b[<0;9;4M\x1b[<0;9;4m");
  EXPECT_EQ(ReadAll(), (std::vector<std::string>{"click 2,4", "click 3,8"}));
}

TEST_F(TerminalInput, WhatComesInTwoReadsWithinTheEscapeTimeIsReadWhole) {
  // Once a character split so was dropped, and a click waited for.
  for (std::string_view whole : {"\xE3\x81\x82", "\x1b[<0;5;3M\x1b[<0;5;3m"}) {
    for (size_t cut = 1; cut < whole.size(); cut += 3) {
      Send(whole.substr(0, cut));
      std::thread rest([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::string_view tail = whole.substr(cut);
        EXPECT_EQ(::write(master_, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
      });
      std::vector<std::string> read;
      for (auto until = Clock::now() + std::chrono::seconds(2); read.empty() && Clock::now() < until;) {
        screen_->Wait(20);
        read = ReadAll();
      }
      rest.join();
      EXPECT_EQ(read, (std::vector<std::string>{whole[0] == '\x1b' ? "click 2,4" : "U+12354"})) << cut;
    }
  }
}

TEST_F(TerminalInput, AnUnfinishedMouseReportNeitherWaitsNorTakesTheNextKey) {
  // "ESC [ <" starts a report (and is what Alt+[ and < send); the rest
  // never comes. Once reading stopped there until more bytes came, and took
  // them as the report's.
  Send("\x1b[<0;5");
  auto start = Clock::now();
  EXPECT_EQ(ReadAll(), std::vector<std::string>{});
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  Send("q");
  EXPECT_EQ(ReadAll(), std::vector<std::string>{"U+113"});
}

size_t OpenDescriptors() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST(TerminalOpen, AnInputThatCannotBeReadFailsWithoutKeepingADescriptor) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  // Open for writing only, it gets no stream to read: once the copy of it
  // made for the stream stayed open.
  int writeOnly = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writeOnly, 0);
  size_t before = OpenDescriptors();
  std::string problem;
  EXPECT_EQ(TerminalScreen::Open({writeOnly, slave, "xterm-256color", false}, problem), nullptr);
  EXPECT_EQ(problem, "the terminal's input or output cannot be opened");
  EXPECT_EQ(OpenDescriptors(), before);
  for (int fd : {writeOnly, slave, master}) ::close(fd);
}

}  // namespace
}  // namespace platform::dialog::terminal
