// The terminal backend on a pseudo-terminal, for tests and benchmarks: the
// backend draws on the terminal's side as on a real one, and the other
// side plays the user (keys and mouse clicks as a terminal sends them) and
// counts what the backend wrote. Widths go by a UTF-8 character type.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/dialog/terminal/terminal_backend.h"

namespace terminal_test {

class PseudoTerminal {
 public:
  // A terminal of `rows` x `cols` cells of type xterm-256color.
  PseudoTerminal(int rows, int cols);
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  platform::dialog::terminal::TerminalBackend& Backend() { return *backend_; }

  // Bytes as the terminal sends them for the user's keys; returns once the
  // backend's side can read them.
  void Send(std::string_view bytes);
  // Whether input is waiting that the backend has not read yet.
  bool InputPending() const;
  // Bytes the backend wrote to the terminal so far.
  long BytesWritten() const { return written_.load(); }

  // What the terminal sends for keys and for a click of the left button at
  // a screen cell.
  static constexpr std::string_view kTab = "\t";
  static constexpr std::string_view kBackTab = "\x1b[Z";
  static constexpr std::string_view kEnter = "\r";
  static constexpr std::string_view kEscape = "\x1b";
  static constexpr std::string_view kUp = "\x1b[A";
  static constexpr std::string_view kDown = "\x1b[B";
  static constexpr std::string_view kRight = "\x1b[C";
  static constexpr std::string_view kLeft = "\x1b[D";
  static constexpr std::string_view kF10 = "\x1b[21~";
  static std::string Click(int row, int col);

 private:
  void Drain();

  int master_ = -1;
  int slave_ = -1;
  std::atomic<long> written_{0};
  std::atomic<bool> stop_{false};
  std::thread drain_;
  std::unique_ptr<platform::dialog::terminal::TerminalBackend> backend_;
};

}  // namespace terminal_test
