// The terminal the backend draws on: an ncursesw session on a pair of
// descriptors (the program's standard input and output, or a pseudo-
// terminal in a test). It puts a canvas on the terminal (the library
// writes only what changed), reads keys, mouse clicks and resizes, and
// gives the terminal back as it found it: the screen, the cursor, the
// modes and the mouse.
//
// On the program's own terminal it also guards that promise: Ctrl+C,
// SIGTERM, SIGHUP, SIGQUIT, a crash (SIGSEGV, SIGABRT, ...) and exit()
// give the terminal back before the process goes, and what the program or
// a program it starts writes to the terminal's standard output or error
// while the screen is up is kept and written out once it is given back,
// instead of landing in the middle of the dialog.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/dialog/terminal/canvas.h"
#include "platform/dialog/terminal/cell_geometry.h"

namespace platform::dialog::terminal {

enum class Key {
  kNone,
  kTab,
  kBackTab,
  kEnter,
  kEscape,
  kUp,
  kDown,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kBackspace,
  kDelete,
  kF1,
  kF10,
  kAltF4,
  kInterrupt,  // Ctrl+C
  kRedraw,     // Ctrl+L
};

struct Input {
  enum class Kind { kChar, kKey, kMouse, kResize };
  enum class Mouse { kPress, kWheelUp, kWheelDown };
  Kind kind = Kind::kKey;
  char32_t code = 0;  // kChar: the character typed
  Key key = Key::kNone;
  bool alt = false;    // Alt held (the terminal sends Escape first)
  bool shift = false;  // kMouse: Shift held
  Mouse mouse = Mouse::kPress;
  int row = 0;  // kMouse: the screen cell
  int col = 0;
};

class TerminalScreen {
 public:
  struct Setup {
    int inFd = 0;
    int outFd = 1;
    std::string type;             // the terminal type; empty: $TERM
    bool programTerminal = true;  // the program's own: signals, exit, output kept
  };

  // Opens the session, or nullptr with `problem` saying why in one line.
  static std::unique_ptr<TerminalScreen> Open(const Setup& setup, std::string& problem);
  ~TerminalScreen();
  TerminalScreen(const TerminalScreen&) = delete;
  TerminalScreen& operator=(const TerminalScreen&) = delete;

  // Gives the terminal back for a while (no window is open), and takes it
  // again.
  void Suspend();
  void Resume();
  bool Suspended() const { return suspended_; }

  CellSize Size() const;
  // Puts the canvas on the terminal, the cursor at (row, col) or hidden
  // when row < 0.
  void Present(const Canvas& canvas, int cursorRow, int cursorCol);
  // The next Present writes every cell (Ctrl+L, or after a program that
  // was started wrote to the terminal).
  void RedrawAll();

  // Waits until input or a resize is there, or `timeoutMs` passed (-1: no
  // limit).
  void Wait(int timeoutMs);
  // The next input that is there, if any.
  std::optional<Input> Next();

  // Ctrl+C: gives the terminal back and ends the process as SIGINT does.
  [[noreturn]] void Interrupt();

 private:
  explicit TerminalScreen(const Setup& setup);
  std::optional<Input> Translate(int status, unsigned int code, bool alt);
  // Reads a mouse report after "ESC [", if one follows: the input it stands
  // for, if any. `handled` is false where no report began (Alt+[).
  std::optional<Input> ReadMouseReport(bool& handled);

  Setup setup_;
  struct Session;
  std::unique_ptr<Session> session_;
  bool suspended_ = false;
  bool pressed_ = false;  // the left button was reported down
  // Mouse inputs that came with one report, not handed out yet.
  std::deque<Input> queued_;
  static constexpr std::size_t kMaxMouseEvents = 64;
};

}  // namespace platform::dialog::terminal
