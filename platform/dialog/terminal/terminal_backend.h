// The terminal backend: runs dialogs and message boxes in a text terminal
// (ncursesw), nested to any depth, for people without a display (over SSH,
// on a console). The screen's top line is the title line: the active
// window's title, after the icon mark ([≡]) that opens the system menu.
// Below it the windows stand bottom to top, the first one at the top of
// the screen, the others framed in the middle. A window larger than the
// terminal is shown scrolled to what has the keyboard, with a note on the
// bottom line saying what size it needs; a resize redraws at once.
//
// It waits for keys, mouse clicks and the windows' timers in one loop per
// modal window, so timers tick in nested windows too. While no window is
// open the terminal is the user's (the screen is given back when the
// outermost window closes, and taken again for the next one). It puts its
// help viewer in force while it lives and registers with the platform's
// backend choice (terminal_registration.cpp); dialog code never names it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/dialog/backend.h"
#include "platform/dialog/terminal/canvas.h"
#include "platform/dialog/terminal/screen_window.h"
#include "platform/dialog/terminal/terminal_screen.h"

namespace platform::dialog::terminal {

class TerminalDialogWindow;
class TerminalHelpViewer;

class TerminalBackend final : public Backend {
 public:
  // Set while the backend has the terminal's screen, for the programs it
  // starts meanwhile: they must not draw over its windows (the placeholder
  // that the grep program starts runs unseen instead). A program started
  // once the windows are closed (or run in place of this one) has the
  // terminal to itself.
  static constexpr char kInUseVariable[] = "DIALOG_TERMINAL_IN_USE";

  explicit TerminalBackend(std::unique_ptr<TerminalScreen> screen);
  ~TerminalBackend() override;
  TerminalBackend(const TerminalBackend&) = delete;
  TerminalBackend& operator=(const TerminalBackend&) = delete;

  int RunModal(Dialog& dialog, Window* owner) override;
  int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) override;
  Window* ActiveWindow() override;
  // Gives the terminal back, whatever is still open.
  int EndProgram(int status) override;
  // A mark in the title line while busy, drawn at once.
  void SetBusy(bool busy) override;

  // For the windows: their timers, and a window of their own run modally
  // until `done` holds.
  void SetTimer(TerminalDialogWindow* window, int id, int milliseconds);
  void KillTimer(TerminalDialogWindow* window, int id);
  void KillTimers(TerminalDialogWindow* window);
  void RunWindow(ScreenWindow& window, const std::function<bool()>& done);

  // For tests and benchmarks: a call each time a loop has drawn and is
  // about to take input, which returns the longest the loop may then wait
  // for input in milliseconds (-1: as long as it takes); the window on top;
  // the screen as last drawn; and a full redraw now (every cell written
  // again).
  void SetIdleHook(std::function<int()> hook) { idle_ = std::move(hook); }
  ScreenWindow* Top() const { return stack_.empty() ? nullptr : stack_.back().screen; }
  const Canvas& Screen() const { return canvas_; }
  void Draw();
  void RedrawAll();
  TerminalHelpViewer& Help() { return *help_; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Layer {
    ScreenWindow* screen;
    Window* window;  // nullptr for the help viewer, which is no window of the program
  };
  struct Timer {
    TerminalDialogWindow* window;
    int id;
    int interval;
    Clock::time_point due;
  };

  void Push(ScreenWindow* screen, Window* window);
  void Pop();
  void GiveBack();
  void Loop(const std::function<bool()>& done);
  void Dispatch(const Input& input);
  void FireTimers();
  int MillisecondsToNextTimer() const;
  void DrawTitleLine(const std::string& title, bool iconMark);

  std::unique_ptr<TerminalScreen> screen_;
  Canvas canvas_{0, 0};
  std::vector<Layer> stack_;
  std::vector<Timer> timers_;
  int busy_ = 0;
  std::size_t busyDepth_ = 0;
  std::unique_ptr<TerminalHelpViewer> help_;
  std::function<int()> idle_;
};

}  // namespace platform::dialog::terminal
