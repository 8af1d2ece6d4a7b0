// The interface a window-system backend implements, and the point where
// backends register so that the platform can pick one. Dialog code never
// includes this header; it uses dialog.h, message_box.h and app.h.
//
// What a backend owes the core, in RunModal:
//  1. Create the dialog's window from dialog.Template(), hidden, owned by
//     `owner` (nullptr: no owner). Controls get their template texts (UTF-8
//     literals) and styles; edits with a textLimit get that limit.
//  2. dialog.AttachWindow(&window), then dialog.DeliverInit(). When it
//     returns true, give the focus to the first enabled, visible tab stop.
//  3. Unless dialog.EndRequested(): show the window, make it the active
//     window and call dialog.DeliverShow(true) once.
//  4. Until dialog.EndRequested(): wait for events and deliver them:
//     - a click on a button (after an automatic radio button or check box
//       set its own check: radio buttons through the group of RadioGroupOf):
//       DeliverNotification(id, kClicked);
//     - an edit gaining the focus: DeliverNotification(id, kSetFocus);
//     - the user changing an edit's text (each key):
//       DeliverNotification(id, kChanged);
//     - Enter, unless a multi-line edit with kWantReturn has the focus (it
//       takes a line break, reported as a change; a read-only one takes
//       the key and changes nothing): DeliverEnter();
//     - Escape: DeliverEscape(); the close box: DeliverSysCommand(kCloseCommand);
//     - a system menu item: DeliverSysCommand(command), exactly as appended;
//     - a menu bar item: DeliverMenuCommand(command);
//     - F1: DeliverMenuCommand(kHelpCommand);
//     - a tick of one of the window's timers: DeliverTimer(id), also while a
//       nested modal dialog or message box of the thread runs.
//     A reaction may call RunModal or ShowMessageBox again (nesting).
//  5. dialog.DeliverDestroy(), stop the window's timers, then
//     dialog.AttachWindow(nullptr), destroy the window, and return
//     dialog.Result(). (No show(false) notification is sent at the end.)
//  A window that cannot be created: return -1 without calling the dialog.
#pragma once

#include <memory>
#include <string_view>

#include "platform/dialog/message_box.h"

namespace platform::dialog {

class Dialog;
class Window;

class Backend {
 public:
  virtual ~Backend() = default;

  // Runs the dialog modally as described above and returns its result.
  virtual int RunModal(Dialog& dialog, Window* owner) = 0;

  // A modal message box (CP932 texts; the caption is already resolved, never
  // empty). Returns kIdOk, kIdYes or kIdNo. While it is open it is the active
  // window, and timers of the dialogs below it keep ticking.
  virtual int ShowMessageBox(Window* owner, std::string_view text,
                             std::string_view caption, Buttons buttons) = 0;

  // The active window of the thread: the top of the modal stack (a dialog
  // or a message box), or nullptr when nothing runs.
  virtual Window* ActiveWindow() = 0;
};

// A backend the platform may choose. `Available` tells whether it can run
// here (a display is reachable); `Create` makes one. Higher `priority` wins.
struct BackendEntry {
  const char* name = "";
  int priority = 0;
  bool (*Available)() = nullptr;
  std::unique_ptr<Backend> (*Create)() = nullptr;
};

// Adds a backend to the platform's choice. A backend registers from its own
// folder with a namespace-scope BackendRegistrar; its library must then be
// linked whole (the target platform_dialog_program does that).
void RegisterBackend(const BackendEntry& entry);

struct BackendRegistrar {
  explicit BackendRegistrar(const BackendEntry& entry) { RegisterBackend(entry); }
};

// The backend in force. On first use the platform picks the available
// registered backend of highest priority; when there is none the program
// ends with a message saying that no display is available.
Backend& CurrentBackend();

// Puts `backend` in force (not owned), or with nullptr returns to the
// platform's choice. Tests use this to run the headless backend.
void UseBackend(Backend* backend);

// Puts a backend in force for a scope and restores the previous one.
class ScopedBackend {
 public:
  explicit ScopedBackend(Backend& backend);
  ~ScopedBackend();
  ScopedBackend(const ScopedBackend&) = delete;
  ScopedBackend& operator=(const ScopedBackend&) = delete;

 private:
  Backend* saved_;
};

}  // namespace platform::dialog
