// The dialog base class: one object per dialog, built from its template.
// A derived class binds its reactions to (control ID, notification), keeps
// its state in members and moves that state to and from the controls in
// DoDataExchange. It does not draw anything: the backend in force builds
// the window from the template and feeds events back through DialogEvents
// (backend.h), which is not part of what a dialog's code calls.
//
// Control access works while the dialog runs (between DoModal's start and
// its end); before and after it does nothing and reads as empty, 0 or false.
// All texts are CP932.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dialog/message_box.h"
#include "platform/dialog/template.h"

namespace platform::dialog {

class DataExchange;
class DialogEvents;
class DialogWindow;

// One row of a key table: the push button `id` passes the one CP932 byte
// that the UTF-8 text `passes` stands for ("ｱ" is 0xB1, "ﾞ" 0xDE).
struct KeyRow {
  int id = kNoId;
  std::string_view passes{};
};

enum class Notification {
  kClicked,   // a button was clicked (an automatic one has set its check already)
  kSetFocus,  // a control got the keyboard focus from another (backend.h: when)
  kChanged,   // an edit's text changed, by typing or by SetText
  kCommand,   // a menu bar command
};

class Dialog {
 public:
  // `parent` owns the dialog's window; nullptr means the active window.
  explicit Dialog(const DialogTemplate& tmpl, Dialog* parent = nullptr);
  // The dialog keeps a reference to its template, so a temporary one would
  // dangle: templates are tables that live as long as the program.
  Dialog(DialogTemplate&&, Dialog* = nullptr) = delete;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally in the backend in force and returns the value
  // given to EndDialog (-1 when the window could not be made, or when the
  // dialog already runs). Nests: a reaction may run another dialog.
  int DoModal();

  // Ends the modal run with `result` once the current reaction returns.
  void EndDialog(int result);

  // Binds a reaction; a second binding of the same pair replaces the first.
  void Bind(int id, Notification notification, std::function<void()> reaction);
  // Binds one reaction to every ID from `first` to `last`, handing it the ID
  // (a keypad bound in one line).
  void BindRange(int first, int last, Notification notification, std::function<void(int id)> reaction);
  // Binds a click on each key of the table to `reaction`, handing it the
  // key's byte. Only the listed IDs are bound, so blank keys and other
  // buttons between them never are. A row whose text is not one CP932 byte,
  // whose ID is not a push button of the template, or whose ID comes twice
  // is a programming error: the program stops with a message naming it.
  void BindKeys(const std::vector<KeyRow>& keys, std::function<void(char byte)> reaction);

  // Controls.
  std::string Text(int id) const;
  // Sets the text; for an edit this reports kChanged before returning.
  void SetText(int id, std::string_view cp932);
  int Check(int id) const;
  void SetCheck(int id, int state);
  // Checks radio button `id` and clears the others of its group.
  void CheckRadio(int id);
  // The checked radio button of the group of `id`, or kNoId when none is.
  int CheckedRadio(int id) const;
  bool IsEnabled(int id) const;
  void Enable(int id, bool enabled);
  bool IsVisible(int id) const;
  void ShowControl(int id, bool visible);
  int Focused() const;
  void SetFocusTo(int id);
  void NextTabStop(bool backwards = false);
  void SetTextLimit(int id, int limit);

  // The window: title, system menu, icon, timers.
  std::string Title() const;
  void SetTitle(std::string_view cp932);
  void AppendSystemMenuSeparator();
  void AppendSystemMenuItem(int command, std::string_view cp932);
  void SetIcon(int icon, bool big);
  void SetTimer(int id, int milliseconds);
  void KillTimer(int id);
  bool IsMinimised() const;

  // A message box owned by this dialog's window.
  int MessageBox(std::string_view text, std::string_view caption = {}, Buttons buttons = Buttons::kOk);

  // The transfer pair (DoDataExchange): ShowMembers puts the members into
  // the controls; ReadBackMembers reads them back with their checks and is
  // false when a check failed (the platform's message was shown and the
  // fields after the failing one were not read) or when the dialog does not
  // run.
  void ShowMembers();
  bool ReadBackMembers();

  bool IsRunning() const { return window_ != nullptr; }
  const DialogTemplate& Template() const { return tmpl_; }

 protected:
  // Hooks. Derived classes call the base where they want the default too.
  // Initialisation: the base shows the members (ShowMembers) and returns
  // true, asking the platform to set the default focus.
  virtual bool OnInitDialog();
  virtual void OnShowWindow(bool shown);
  virtual void OnTimer(int id);
  // The base closes the dialog on kCloseCommand and ignores the rest.
  virtual void OnSysCommand(int command);
  virtual void OnDestroy();
  // Button 1 without a binding: read back, and end with kIdOk if that passed.
  virtual void OnOK();
  // Button 2 without a binding, Escape, the close box: end with kIdCancel.
  virtual void OnCancel();
  // One transfer pair for the dialog's members (data_exchange.h).
  virtual void DoDataExchange(DataExchange& dx);

 private:
  friend class DialogEvents;

  void Notify(int id, Notification notification);
  void MenuCommand(int command);
  void Command(int id);

  const DialogTemplate& tmpl_;
  Dialog* parent_;
  int lastFocus_ = kNoId;  // the control the focus was last reported on
  DialogWindow* window_ = nullptr;
  bool endRequested_ = false;
  int result_ = -1;
  std::map<std::pair<int, Notification>, std::function<void()>> reactions_;
};

}  // namespace platform::dialog
