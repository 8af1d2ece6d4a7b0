// A backend without a display, for tests and scripted runs: dialogs run
// from a script of user events on a virtual clock, and every control's
// state can be read back.
//
// What it does: builds each dialog's controls from the template (text,
// check, enabled, visible, text limit, focus); runs modal dialogs and
// message boxes nested to any depth; consumes one queued event at a time in
// the innermost modal window; fires timers only while a Wait event lets
// virtual time pass, in order of their due time, whatever window is on top;
// records every message box with its owner, caption, text, buttons, answer
// and the title it had when answered; notes script faults (an event that
// the window on top cannot take, a script that runs out) in Errors().
//
// A scripted run (ScriptRun, script_run.h) is the same backend with its
// output given: print and title events, every message box and every fault
// are written as they happen, a message box that meets another event than
// an answer, a wait or a title takes its default button, and a script that
// runs out closes the innermost window as its close box does.
//
// What it does not do: no pixels, fonts or layout (text_render.h draws a
// rough picture from the rectangles); no mouse positions or carets (typing
// goes at the end of the text); no minimising; no clipboard. The one
// selection it knows is the whole text of an edit that the focus reached
// by a tab stop, as Qt and the terminal select it: what is typed next
// replaces it.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/backend.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/window.h"
#include "platform/dialog/window_rules.h"

namespace platform::dialog::headless {

class HeadlessBackend;

// One message box as it was shown and answered. Texts are CP932.
struct MessageBoxRecord {
  std::string owner;  // title of the owner window when the box opened; empty: no owner
  std::string caption;
  std::string text;
  Buttons buttons = Buttons::kOk;
  int answer = 0;
  std::string title;  // the box's title when it was answered
};

// The window of one dialog run. It stays readable after the run has ended.
class HeadlessDialogWindow final : public DialogWindow {
 public:
  HeadlessDialogWindow(HeadlessBackend& backend, Dialog& dialog, std::string owner);

  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override { title_ = cp932; }
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

  // Read-back for tests.
  struct Control : ControlState {
    std::string text;
    int limit = 0;
    // The whole text is selected: the focus came by a tab stop, and
    // nothing was typed or set since.
    bool selected = false;
  };
  struct SystemMenuEntry {
    int command = 0;  // 0 for a separator
    std::string text;
  };
  const DialogTemplate& Template() const { return tmpl_; }
  const std::vector<Control>& Controls() const { return controls_; }
  const Control* Find(int id) const;
  int TextLimit(int id) const;
  const std::vector<SystemMenuEntry>& SystemMenu() const { return systemMenu_; }
  // The push button drawn as the default one: the one Enter presses now.
  int DefaultButtonShown() const { return ShownDefaultButton(tmpl_, dialog_); }
  // The focus and key rules over this window's controls.
  WindowRules Rules() const;
  int Icon(bool big) const { return big ? bigIcon_ : smallIcon_; }
  const std::string& Owner() const { return owner_; }
  bool Running() const { return dialog_ != nullptr; }
  bool Shown() const { return shown_; }
  int Result() const { return result_; }

 private:
  friend class HeadlessBackend;
  Control* Find(int id);

  HeadlessBackend& backend_;
  Dialog* dialog_;  // nullptr once the run has ended
  const DialogTemplate& tmpl_;
  std::string owner_;
  std::string title_;
  std::vector<Control> controls_;
  int focus_ = kNoId;
  std::vector<SystemMenuEntry> systemMenu_;
  int bigIcon_ = 0;
  int smallIcon_ = 0;
  bool shown_ = false;
  int result_ = -1;
};

class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // The script. Events queue up in order; the innermost modal window takes
  // the next one whenever it waits for input. Texts are CP932.
  HeadlessBackend& Click(int id);   // a button (an edit: gives it the focus)
  HeadlessBackend& Choose(int id);  // a radio button
  HeadlessBackend& Focus(int id);   // any control that can take the focus
  // Types into an edit (giving it the focus first): each character; CR, LF
  // or CR LF is the Enter key, backspace removes the last character.
  HeadlessBackend& Type(int id, std::string_view cp932);
  HeadlessBackend& Enter();
  HeadlessBackend& Escape();
  HeadlessBackend& Tab();
  // Tab, Shift+Tab or an arrow key in the dialog on top.
  HeadlessBackend& Key(MoveKey key);
  HeadlessBackend& CloseBox();  // the close box of the caption bar
  HeadlessBackend& SysCommand(int command);
  HeadlessBackend& MenuCommand(int command);
  HeadlessBackend& Wait(int milliseconds);  // virtual time passes; timers fire
  HeadlessBackend& Answer(int button);      // answers the message box on top
  // Writes "ID: text" of a control of the dialog on top (UTF-8, line
  // breaks as LF, then a line end).
  HeadlessBackend& Print(int id);
  // Writes "title: " and the active window's title.
  HeadlessBackend& PrintTitle();
  // Writes "clipboard: " and what the program last put on the clipboard.
  HeadlessBackend& PrintClipboard();
  // Runs `step` when its turn comes, in whatever window is on top: for
  // checks in the middle of a run.
  HeadlessBackend& Do(std::function<void()> step);

  // Makes this a scripted run writing to `out` (prints, titles, message
  // boxes) and `err` (faults, each as "<scriptName>:<line>: what"). Before
  // it, prints and titles go to Printed() and faults to Errors() only.
  void WriteTo(std::ostream& out, std::ostream& err, std::string scriptName);
  // A fault of the script found before it ran (a line that cannot be read).
  void NoteFault(int line, std::string text);

  // Backend.
  int RunModal(Dialog& dialog, Window* owner) override;
  int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) override;
  Window* ActiveWindow() override;
  // A scripted run that met a fault ends with 3; events left unused when
  // the program ends are a fault.
  int EndProgram(int status) override;
  // Keeps the text, for PrintClipboard and Clipboard().
  bool SetClipboardText(std::string_view cp932) override;

  // Read-back.
  // The innermost running dialog window, or nullptr.
  HeadlessDialogWindow* Top();
  // The newest window made from the template with this ID, running or
  // ended, or nullptr.
  HeadlessDialogWindow* Find(int templateId);
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
  // Script faults, in UTF-8.
  const std::vector<std::string>& Errors() const { return errors_; }
  // What print and title events wrote while no output was given.
  const std::string& Printed() const { return printed_; }
  const std::string& Clipboard() const { return clipboard_; }
  long long Now() const { return now_; }
  size_t PendingEvents() const { return events_.size(); }

  // One queued script event.
  struct Event {
    enum class Kind {
      kClick,
      kChoose,
      kFocus,
      kType,
      kEnter,
      kEscape,
      kTab,
      kKey,
      kCloseBox,
      kSysCommand,
      kMenuCommand,
      kWait,
      kAnswer,
      kPrint,
      kTitle,
      kClipboard,
      kDo,
    };
    Kind kind;
    int value = 0;  // control ID, command, milliseconds or button
    std::string text;
    std::function<void()> step;
    int line = 0;  // the script line it came from; 0 for events queued in code
  };

  // Queues an event as it is (a script reader gives each its line).
  HeadlessBackend& Queue(Event event);

 private:
  friend class HeadlessDialogWindow;
  struct Timer {
    HeadlessDialogWindow* window;
    int id;
    int interval;
    long long due;
    long long order;  // ties of due time go in the order the timers were set
  };
  class Box;

  void Apply(const Event& event, HeadlessDialogWindow& window, Dialog& dialog);
  void ClickControl(int id, bool radioOnly, HeadlessDialogWindow& window, Dialog& dialog);
  // A click that the rules allow: the automatic checks, then the notification.
  void Press(int id, HeadlessDialogWindow& window, Dialog& dialog);
  void TakeKey(MoveKey key, HeadlessDialogWindow& window, Dialog& dialog);
  bool FocusControl(int id, HeadlessDialogWindow& window);
  void TypeInto(int id, std::string_view text, HeadlessDialogWindow& window, Dialog& dialog);
  void LineBreak(int id, HeadlessDialogWindow& window, Dialog& dialog);
  void Advance(int milliseconds);
  void SetTimer(HeadlessDialogWindow* window, int id, int milliseconds);
  void KillTimer(HeadlessDialogWindow* window, int id);
  void Error(std::string text);
  // Writes a line of output: to the run's output, or to Printed().
  void Output(const std::string& utf8Line);
  void PrintControl(int id, HeadlessDialogWindow& window);
  // Ends the innermost dialog as its close box does, when the script ran out.
  void CloseAtEnd(Dialog& dialog);

  std::deque<Event> events_;
  std::vector<std::unique_ptr<HeadlessDialogWindow>> windows_;
  std::vector<Window*> stack_;
  std::vector<Timer> timers_;
  std::vector<MessageBoxRecord> boxes_;
  std::vector<std::string> errors_;
  std::string printed_;
  std::string clipboard_;        // CP932
  std::ostream* out_ = nullptr;  // set for a scripted run
  std::ostream* err_ = nullptr;
  std::string scriptName_;
  int line_ = 0;  // the line of the event being taken
  long long now_ = 0;
  long long timerOrder_ = 0;
};

}  // namespace platform::dialog::headless
