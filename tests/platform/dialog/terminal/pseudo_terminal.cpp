#include "tests/platform/dialog/terminal/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>  // openpty
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace terminal_test {

using platform::dialog::terminal::TerminalBackend;
using platform::dialog::terminal::TerminalScreen;

PseudoTerminal::PseudoTerminal(int rows, int cols) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  winsize size{};
  size.ws_row = static_cast<unsigned short>(rows);
  size.ws_col = static_cast<unsigned short>(cols);
  if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
    std::perror("openpty");
    std::abort();
  }
  drain_ = std::thread([this] { Drain(); });
  TerminalScreen::Setup setup;
  setup.inFd = slave_;
  setup.outFd = slave_;
  setup.type = "xterm-256color";
  setup.programTerminal = false;
  std::string problem;
  std::unique_ptr<TerminalScreen> screen = TerminalScreen::Open(setup, problem);
  if (!screen) {
    std::fprintf(stderr, "the terminal backend cannot start on a pseudo-terminal: %s\n", problem.c_str());
    std::abort();
  }
  backend_ = std::make_unique<TerminalBackend>(std::move(screen));
}

PseudoTerminal::~PseudoTerminal() {
  backend_.reset();
  stop_ = true;
  drain_.join();
  ::close(slave_);
  ::close(master_);
}

void PseudoTerminal::Drain() {
  char buffer[8192];
  while (!stop_) {
    pollfd fd{master_, POLLIN, 0};
    if (::poll(&fd, 1, 20) <= 0) continue;
    ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) written_ += n;
  }
}

void PseudoTerminal::Send(std::string_view bytes) {
  std::size_t before = 0;
  int pending = 0;
  if (::ioctl(slave_, FIONREAD, &pending) == 0) before = static_cast<std::size_t>(pending);
  while (!bytes.empty()) {
    ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) std::abort();
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  // The terminal hands input on a moment after it was written, later on a
  // loaded machine; the caller goes on only once the backend can read it.
  // Never coming is a fault: the bound turns it into one.
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!(::ioctl(slave_, FIONREAD, &pending) == 0 && static_cast<std::size_t>(pending) > before)) {
    if (std::chrono::steady_clock::now() > until) {
      std::fprintf(stderr, "input written to the pseudo-terminal never reached its other side\n");
      std::abort();
    }
    std::this_thread::yield();
  }
}

bool PseudoTerminal::InputPending() const {
  int pending = 0;
  return ::ioctl(slave_, FIONREAD, &pending) == 0 && pending > 0;
}

std::string PseudoTerminal::Click(int row, int col) {
  std::string at = std::to_string(col + 1) + ";" + std::to_string(row + 1);
  return "\x1b[<0;" + at + "M\x1b[<0;" + at + "m";
}

}  // namespace terminal_test
