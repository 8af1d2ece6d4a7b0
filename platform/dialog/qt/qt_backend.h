// The Qt6 Widgets backend: runs dialogs and message boxes as real windows,
// nested to any depth, keeps the stack of modal windows that answers for
// the thread's active window, and puts its help viewer in force while it
// lives. It starts the QApplication when none runs yet; that one lives until
// the process ends, since the platform keeps its chosen backend until the
// exit handlers, when Qt's own globals are already gone. Programs load it as
// a module (qt_module.cpp, named by qt_module_entry.cpp) once the platform
// chooses it; tests link it in (qt_registration.cpp). Dialog code never
// names it.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/dialog/backend.h"

class QWidget;

namespace platform::dialog::qt {

class QtHelpViewer;

class QtBackend final : public Backend {
 public:
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  int RunModal(Dialog& dialog, Window* owner) override;
  int ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) override;
  Window* ActiveWindow() override;
  // Qt's override cursor: the wait cursor while busy, and the ordinary
  // pointer over a window opened meanwhile.
  void SetBusy(bool busy) override;
  // The system clipboard (X's CLIPBOARD selection).
  bool SetClipboardText(std::string_view cp932) override;

  // For tests: the modal windows, outermost first, and the help viewer.
  const std::vector<Window*>& ModalStack() const { return stack_; }
  QtHelpViewer& Help() { return *help_; }

 private:
  QWidget* WidgetOf(Window* window) const;
  void ActivateTop();

  std::unique_ptr<QtHelpViewer> help_;
  std::vector<Window*> stack_;
  int busy_ = 0;  // SetBusy(true) calls not yet matched
};

}  // namespace platform::dialog::qt
