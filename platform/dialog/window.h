// The live windows a backend creates: Window is anything with a title (a
// dialog or a message box); DialogWindow adds the controls, the system menu,
// icons and timers of one running dialog. Dialog code reaches these only
// through the dialog base class (dialog.h) and ActiveWindow (message_box.h).
//
// Every text crossing these interfaces is CP932. Multi-line edits hold CR LF
// between lines in both directions. A call naming a control the window does
// not have does nothing and reads as empty, 0 or false.
#pragma once

#include <string>
#include <string_view>

namespace platform::dialog {

class Window {
 public:
  virtual ~Window() = default;

  virtual std::string Title() const = 0;
  virtual void SetTitle(std::string_view cp932) = 0;
};

class DialogWindow : public Window {
 public:
  // Texts of controls (captions of buttons and statics, contents of edits).
  // SetControlText does not report a change: the dialog base does that, so
  // that a program's change and a user's change reach the reactions alike.
  virtual std::string ControlText(int id) const = 0;
  virtual void SetControlText(int id, std::string_view cp932) = 0;

  // Check state of radio buttons and check boxes: 0 or 1.
  virtual int CheckState(int id) const = 0;
  virtual void SetCheckState(int id, int state) = 0;

  virtual bool IsControlEnabled(int id) const = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual bool IsControlVisible(int id) const = 0;
  virtual void ShowControl(int id, bool visible) = 0;

  // Keyboard focus. The backend tells the core of every move of the focus
  // onto a control, these calls' included (DialogEvents::DeliverFocus,
  // backend.h). FocusedControl gives kNoId when no control has the focus.
  virtual int FocusedControl() const = 0;
  virtual void SetFocus(int id) = 0;
  // Moves the focus to the next (or previous) enabled, visible tab stop in
  // template order, wrapping round; an edit reached this way gets its text
  // selected.
  virtual void FocusNextTabStop(bool backwards) = 0;

  // An edit takes at most `limit` bytes from typing; 0 lifts the limit.
  // Texts set by the program are not cut.
  virtual void SetTextLimit(int id, int limit) = 0;

  // The system menu (shown when the template has kSystemMenu). Choosing an
  // appended item reaches DialogEvents::DeliverSysCommand with its command.
  virtual void AppendSystemMenuSeparator() = 0;
  virtual void AppendSystemMenuItem(int command, std::string_view cp932) = 0;

  // The window's icon in the caption and task bar (big) and in small places.
  // `icon` is an icon resource ID (resources.h).
  virtual void SetIcon(int icon, bool big) = 0;

  // Timers by ID; setting an ID that runs replaces it. Ticks reach
  // DialogEvents::DeliverTimer between reactions, never inside one, and keep
  // coming while a nested modal dialog or message box is open. They stop
  // when the dialog asks to end (EndDialog) and with the window.
  virtual void SetTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;

  // Ends the modal run with `result` once the current reaction returns. May
  // be called before the backend's loop started (from the initialisation or
  // show hook); the backend checks DialogEvents::EndRequested before
  // waiting.
  virtual void EndModal(int result) = 0;

  // True while the window is minimised.
  virtual bool IsMinimised() const = 0;
};

}  // namespace platform::dialog
