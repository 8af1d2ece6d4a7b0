// Drives real Qt windows from a test: the Qt backend in force on the
// offscreen platform for the whole test program, and a script of steps that
// run inside the modal loops, each when the modal stack has the expected
// depth and its top window is on screen and active. A step may open a
// nested modal window; the following steps then run inside it. A step that
// waits too long fails the test and closes every window, so a test never
// hangs.
// Other test programs link it as platform_dialog_qt_testing.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QPoint>
#include <QString>

#include "platform/dialog/qt/qt_backend.h"
#include "platform/dialog/qt/qt_dialog_window.h"
#include "platform/dialog/qt/qt_message_box.h"

class QWidget;

namespace qt_test {

namespace qtd = platform::dialog::qt;

// The backend all tests of the program share (one QApplication per process).
qtd::QtBackend& TheQtBackend();

// The window on top of the modal stack as a dialog or a message box, or
// nullptr when it is something else or nothing runs.
qtd::QtDialogWindow* TopDialog();
qtd::QtMessageBox* TopBox();

// Real mouse clicks and keys on widgets.
void Click(QWidget* widget);
void ClickAt(QWidget* widget, QPoint pos);
void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Type(QWidget* widget, const QString& text);
// Clicks the control with this ID in the dialog on top.
void ClickControl(int id);
// Clicks the message box button with this text.
void ClickBoxButton(const QString& text);

// Where a screenshot goes: the build directory (YUBIN_BINARY_DIR), else the
// test program's own directory.
QString ScreenshotPath(const char* fileName);

class Script {
 public:
  Script() = default;
  ~Script();

  // Runs `action` once the modal stack holds `depth` windows, the top one
  // shown and active.
  Script& At(int depth, std::function<void()> action);
  // Runs `action` once `ready` holds.
  Script& When(std::function<bool()> ready, std::function<void()> action, std::string what);

  // Starts the script; the steps run when the event loop runs (DoModal).
  // Once every step has run and no window is open the script rests; steps
  // added then need another Start.
  void Start();
  // True when every step ran and none timed out.
  bool Finished() const { return steps_.empty() && !failed_; }

 private:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> action;
    std::string what;
  };
  void Poll();
  void Abort();

  std::deque<Step> steps_;
  long long waitedMs_ = 0;
  bool failed_ = false;
  bool polling_ = false;
  // Pending polls die with it, so a finished test leaves none behind.
  std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
};

}  // namespace qt_test
