// The interface a window-system backend implements, the calls it makes on
// a dialog (DialogEvents), and the point where backends register so that
// the platform can pick one. Dialog code never includes this header; it
// uses dialog.h, message_box.h and app.h.
//
// What a backend owes the core, in RunModal (E stands for DialogEvents):
//  1. Create the dialog's window from dialog.Template(), hidden, owned by
//     `owner` (nullptr: no owner). Controls get their template texts (UTF-8
//     literals) and styles; edits with a textLimit get that limit.
//  2. E::AttachWindow(dialog, &window), then E::DeliverInit(dialog). When it
//     returns true, give the focus to the first enabled, visible tab stop.
//  3. Unless E::EndRequested(dialog): show the window, make it the active
//     window and call E::DeliverShow(dialog, true) once.
//  4. Until E::EndRequested(dialog): wait for events and deliver them:
//     - a click on a button (after an automatic radio button or check box
//       set its own check: radio buttons through the group of RadioGroupOf):
//       DeliverNotification(dialog, id, kClicked);
//     - the focus moving onto a control, by whatever means (a click, Tab,
//       arrow keys, the default focus, the program's SetFocus, the window
//       becoming active again): DeliverFocus(dialog, id), and then the
//       push button DefaultButton(dialog) names is shown as the default;
//     - the user changing an edit's text (each key):
//       DeliverNotification(dialog, id, kChanged);
//     - Enter, unless a multi-line edit with kWantReturn has the focus (it
//       takes a line break, reported as a change; a read-only one takes
//       the key and changes nothing): DeliverEnter(dialog);
//     - Escape: DeliverEscape(dialog); the close box:
//       DeliverSysCommand(dialog, kCloseCommand);
//     - a system menu item: DeliverSysCommand(dialog, command), exactly as
//       appended;
//     - a menu bar item: DeliverMenuCommand(dialog, command);
//     - F1: DeliverMenuCommand(dialog, kHelpCommand);
//     - a tick of one of the window's timers: DeliverTimer(dialog, id), also
//       while a nested modal dialog or message box of the thread runs.
//     A reaction may call RunModal or ShowMessageBox again (nesting).
//  5. E::DeliverDestroy(dialog), stop the window's timers, then
//     E::AttachWindow(dialog, nullptr), destroy the window, and return
//     E::Result(dialog). (No show(false) notification is sent at the end.)
//  A window that cannot be created: return -1 without calling the dialog.
//
// Minimised windows are the backend's to draw (with the window's icon), and
// so is the image dragged from one: no dialog hook takes part.
#pragma once

#include <memory>
#include <string_view>

#include "platform/dialog/dialog.h"
#include "platform/dialog/message_box.h"

namespace platform::dialog {

class DialogWindow;
class Window;

// The calls only backends make on a dialog (and tests that stand in for
// one): attaching the live window, delivering the user's events in the
// order above, and reading how the run ended.
class DialogEvents {
 public:
  static void AttachWindow(Dialog& dialog, DialogWindow* window);
  // True: the platform shall give the default focus.
  static bool DeliverInit(Dialog& dialog);
  static void DeliverShow(Dialog& dialog, bool shown);
  static void DeliverNotification(Dialog& dialog, int id, Notification notification);
  // The keyboard focus is on control `id` now. The core decides what the
  // dialog hears: kSetFocus for `id` when the focus comes from another
  // control than the one it was last reported on in this run. So every
  // control reports a gain (edits, and the others a program binds), once
  // per gain, whether by a click, Tab or the program's call; the focus
  // given back to the control that had it, when a modal window or a menu
  // closes or the window is activated again, is no gain and is not heard.
  static void DeliverFocus(Dialog& dialog, int id);
  // The push button the window shows as the default one, which Enter
  // presses: the push button that has the focus, else the template's
  // default button; kNoId when there is neither (Enter is then the OK
  // action).
  static int DefaultButton(const Dialog& dialog);
  // Presses DefaultButton(dialog) (or sends the OK action) when it can be
  // pressed.
  static void DeliverEnter(Dialog& dialog);
  static void DeliverEscape(Dialog& dialog);
  // Not delivered once the dialog has asked to end.
  static void DeliverTimer(Dialog& dialog, int id);
  static void DeliverSysCommand(Dialog& dialog, int command);
  // The dialog's binding for the command, else the application's.
  static void DeliverMenuCommand(Dialog& dialog, int command);
  static void DeliverDestroy(Dialog& dialog);
  // Whether EndDialog was called in this run, and with what.
  static bool EndRequested(const Dialog& dialog);
  static int Result(const Dialog& dialog);
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Runs the dialog modally as described above and returns its result.
  virtual int RunModal(Dialog& dialog, Window* owner) = 0;

  // A modal message box (CP932 texts; the caption is already resolved, never
  // empty). Returns kIdOk, kIdYes or kIdNo. While it is open it is the active
  // window, and timers of the dialogs below it keep ticking.
  virtual int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) = 0;

  // The active window of the thread: the top of the modal stack (a dialog
  // or a message box), or nullptr when nothing runs.
  virtual Window* ActiveWindow() = 0;

  // The program's exit status, given the one the program chose (see
  // program.h); the backend may have its own say. Most take the program's.
  virtual int EndProgram(int status) { return status; }

  // The wait cursor over the program's windows from SetBusy(true) to the
  // matching SetBusy(false); calls nest (busy_cursor.h). Windows opened
  // meanwhile wait for the user and show the ordinary pointer. A backend
  // without a pointer ignores it.
  virtual void SetBusy(bool busy) { (void)busy; }

  // Puts a text (CP932) on the clipboard, for other programs to paste.
  // False when the backend has no clipboard to put it on.
  virtual bool SetClipboardText(std::string_view cp932) {
    (void)cp932;
    return false;
  }
};

// A backend the platform may choose. `Available` tells whether it can run
// here (a display is reachable, a script is named); `Create` makes one.
// Higher `priority` wins; the platform asks the backends in that order and
// takes the first that is available and can be made, so a backend below it
// costs nothing. `endsEveryRun`: the backend has its say in the exit status
// even of a program that never showed a window, so the platform makes it at
// the end if it had not before.
//
// `module`: the backend is a shared module of that file name (a backend
// that brings heavy libraries is, so that a program maps them only when it
// runs on it; README.md, "Backend modules"). `Available` is then the check
// that needs none of the module; once it passes, the platform loads the
// module and makes the backend with the module's CreateDialogBackend
// (`Create` is not used). A module that cannot be loaded counts as the
// backend not available.
//
// `showsWindows`: someone sees the windows (false for a script or an unseen
// run, which take them unseen).
//
// DIALOG_BACKEND=name chooses the backend of that `name` whatever else is
// available (a script named in DIALOG_SCRIPT still comes first); `WhyNot`
// then tells why it cannot run here at all (no display, no terminal), or
// nullptr when it can. Without `WhyNot` a named backend always runs.
struct BackendEntry {
  const char* name = "";
  int priority = 0;
  bool (*available)() = nullptr;
  std::unique_ptr<Backend> (*create)() = nullptr;
  bool endsEveryRun = false;
  const char* module = nullptr;
  bool showsWindows = true;
  const char* (*whyNot)() = nullptr;
};

// Adds a backend to the platform's choice. A backend registers from its own
// folder with a namespace-scope BackendRegistrar in a library that the
// program links whole (the target platform_dialog_program does that); for a
// module backend that library holds the registration and its check, and
// the module the rest.
void RegisterBackend(const BackendEntry& entry);

struct BackendRegistrar {
  explicit BackendRegistrar(const BackendEntry& entry) { RegisterBackend(entry); }
};

// The backend in force. On first use the platform picks the backend
// DIALOG_BACKEND names, else the available registered backend of highest
// priority; when there is none the program
// ends with a message saying that no display is available (and why a
// module that was wanted could not be loaded).
Backend& CurrentBackend();

// Whether the program allowed unseen runs (AllowUnseenRun, program.h):
// the headless backend registers for them with the lowest priority.
bool UnseenRunAllowed();

// The backend put in force over the platform's choice (not owned), or
// nullptr for the choice: a seam (platform/seam.h), through which tests run
// the headless backend.
Backend*& BackendInForce();

}  // namespace platform::dialog

// What a backend module defines, with C linkage so that the platform finds
// it by this name: makes the module's backend, owned by the caller. The
// module runs on the program's own copy of the core (the program exports
// it), so the backend it makes is one like any other.
extern "C" platform::dialog::Backend* CreateDialogBackend();
