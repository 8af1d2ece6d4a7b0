// The window of one running dialog in the terminal: the template's
// controls in cells (terminal_control.h), the menu bar on the row under
// the window's top, the system menu (a list under the title line's icon
// mark), and the dialog's timers, which the backend runs. It turns keys and
// mouse clicks into the dialog's Deliver* calls and does the control
// operations the dialog asks for.
//
// Keys: Tab and Shift+Tab walk the tab stops; arrow keys move along a
// radio group, and from a push button to the nearest push button in that
// direction (a keypad is a grid); Enter presses the default button (a
// multi-line edit that wants Enter takes it); Space presses the focused
// button; Escape is Escape; F1 help; F10, or Alt with a key, puts the
// keyboard on the menu bar; Alt+Space or Alt+- opens the system menu,
// Alt+F4 is the close box. Edits take typing, Backspace, Delete, the arrow
// keys, Home, End, Page Up and Page Down. The mouse clicks controls, menu
// items and system-menu items; its wheel scrolls a multi-line edit.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/dialog.h"
#include "platform/dialog/terminal/screen_window.h"
#include "platform/dialog/terminal/terminal_control.h"
#include "platform/dialog/window.h"
#include "platform/dialog/window_rules.h"

namespace platform::dialog::terminal {

class TerminalBackend;

class TerminalDialogWindow final : public DialogWindow, public ScreenWindow {
 public:
  TerminalDialogWindow(TerminalBackend& backend, Dialog& dialog);
  ~TerminalDialogWindow() override;
  TerminalDialogWindow(const TerminalDialogWindow&) = delete;
  TerminalDialogWindow& operator=(const TerminalDialogWindow&) = delete;

  // Window.
  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override { title_ = std::string(cp932); }

  // DialogWindow.
  std::string ControlText(int id) const override;
  void SetControlText(int id, std::string_view cp932) override;
  int CheckState(int id) const override;
  void SetCheckState(int id, int state) override;
  bool IsControlEnabled(int id) const override;
  void EnableControl(int id, bool enabled) override;
  bool IsControlVisible(int id) const override;
  void ShowControl(int id, bool visible) override;
  int FocusedControl() const override { return focus_; }
  void SetFocus(int id) override;
  void FocusNextTabStop(bool backwards) override;
  void SetTextLimit(int id, int limit) override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(int command, std::string_view cp932) override;
  void SetIcon(int icon, bool big) override;
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  void EndModal(int) override {}
  bool IsMinimised() const override { return false; }

  // ScreenWindow.
  CellSize Needed() const override;
  void Place(const CellRect& desk, bool outermost) override;
  void Draw(Canvas& canvas) override;
  void Take(const Input& input) override;
  CellPoint Cursor() const override;
  std::string ShownTitle() const override { return title_; }
  bool HasSystemMenu() const override { return (tmpl_.style & kSystemMenu) != 0; }
  void OpenSystemMenu() override;

  // For the backend: the first enabled, visible tab stop gets the focus;
  // the dialog is going away (no more deliveries).
  void FocusFirstTabStop();
  void Detach() { detached_ = true; }
  Dialog& TheDialog() { return dialog_; }

  // For tests: a control's cells on the screen (empty when it has none),
  // and the push button drawn as the default one.
  CellRect ScreenCellsOf(int id) const;
  int DefaultButtonShown() const;

 private:
  struct MenuEntry {
    int command = 0;   // 0: a separator
    std::string text;  // CP932
    bool enabled = true;
  };
  enum class Mode { kControls, kMenuBar, kSystemMenu };

  TerminalControl* Find(int id);
  const TerminalControl* Find(int id) const;
  bool Delivering() const { return !detached_; }
  int MenuRows() const;
  CellRect ClientOnScreen() const;

  // The focus, by whatever means; `selectText`: an edit reached by Tab.
  void MoveFocus(TerminalControl& control, bool selectText);
  void Click(TerminalControl& control);
  WindowRules Rules() const;
  // Carries out what the rules decided for a key that moves the focus.
  void Follow(const FocusMove& move);
  void TakeKey(const Input& input);
  void TakeEditKey(TerminalControl& control, const Input& input);
  void TakeMouse(const Input& input);
  void TakeMenuKey(const Input& input);
  void TakeSystemMenuKey(const Input& input);
  void ChooseMenu(int index);
  void ChooseSystemMenu(int index);
  void ReportChange(TerminalControl& control);
  std::vector<MenuEntry> SystemMenuEntries() const;
  CellRect SystemMenuRect() const;
  void DrawMenuBar(Canvas& canvas);
  void DrawSystemMenu(Canvas& canvas);

  TerminalBackend& backend_;
  Dialog& dialog_;
  const DialogTemplate& tmpl_;
  std::deque<TerminalControl> controls_;  // template order
  std::string title_;
  std::vector<MenuEntry> appended_;  // the program's system-menu entries
  int focus_ = kNoId;
  bool detached_ = false;
  Mode mode_ = Mode::kControls;
  int menuIndex_ = 0;

  // Where it stands, set by Place.
  CellRect desk_;
  bool outermost_ = false;
  CellPoint topLeft_{0, 0};
  CellPoint scroll_{0, 0};
  std::vector<CellRect> menuItemCells_;  // screen cells of each menu bar item, as drawn
};

}  // namespace platform::dialog::terminal
