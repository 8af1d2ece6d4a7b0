// The keypad dialog as a program of its own, for looking at it on a real X
// display (the Xvfb tests start it; a developer may run it at any display).
// It writes what reaches the dialog to standard output, one line each, and
// takes commands on standard input, one a line:
//
//   out: shown CW CH WW WH FW FH  the client area, the window and its frame
//                                 (framed by a window manager, with
//                                 --framed), once it is active and drawn
//        focus ID | click ID | command ID | syscommand ID
//        key NAME            a key was released in one of the program's
//                            windows, and what it did is done
//        box BUTTONS ANSWER  a message box and how it was answered
//        shot FILE W H       a screenshot was written
//        focused ID | ready XID
//   in:  shot FILE   writes the active window with its frame (and an open
//                    menu) to FILE as PNG, once every window is drawn
//        box ok | box yesno   opens a message box from the dialog
//        sysmenu     presses the system menu's button
//        focus ID | focused | text ID UTF8TEXT | quit
//        ready       answers "ready" and the X window on top once that
//                    window is active and drawn and no menu is open
// Every answer waits for the state it tells of, however long that takes:
// the tests give up, not the program.
#include <unistd.h>  // STDIN_FILENO

#include <cstdio>  // std::printf, std::fflush
#include <functional>
#include <string>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPixmap>
#include <QScreen>
#include <QSocketNotifier>
#include <QToolButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/qt/qt_backend.h"
#include "platform/dialog/qt/qt_dialog_window.h"
#include "platform/dialog/qt/qt_window.h"
#include "platform/dialog/window.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/qt/keypad_dialog.h"

namespace {

namespace dlg = platform::dialog;
using platform::text::Cp932;

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

QWidget* ActiveWidget() {
  auto* window = dynamic_cast<dlg::qt::QtWindow*>(dlg::ActiveWindow());
  return window != nullptr ? window->Widget() : nullptr;
}

// Whether every window of the program that is shown has been drawn on
// the server (mapped and exposed).
bool AllExposed() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible() && (top->windowHandle() == nullptr || !top->windowHandle()->isExposed())) return false;
  return true;
}

// Calls `then` once `holds` is true, looking again every 10 ms while the
// program goes on with its events.
void Once(std::function<bool()> holds, std::function<void()> then) {
  if (holds()) return then();
  QTimer::singleShot(
      10, [holds = std::move(holds), then = std::move(then)]() mutable { Once(std::move(holds), std::move(then)); });
}

// The active window with its frame, and a popup menu standing out of it.
// Every shown window is painted first: the requests that draw it go to the
// server before the one that reads the screen back, which it answers in
// order.
void Shot(const std::string& file) {
  QWidget* widget = ActiveWidget();
  if (widget == nullptr) return Say("shot none");
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible()) top->repaint();
  QRect area = widget->frameGeometry();
  if (QWidget* popup = QApplication::activePopupWidget()) area |= popup->frameGeometry();
  QScreen* screen = widget->screen();
  QPixmap pixels = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  bool saved = pixels.save(QString::fromStdString(file), "PNG");
  Say("shot " + file + " " + std::to_string(pixels.width()) + " " + std::to_string(pixels.height()) +
      (saved ? "" : " unsaved"));
}

std::string XWindowOf(QWidget* widget) { return std::to_string(static_cast<unsigned long long>(widget->winId())); }

// Tells of every key released in one of the program's windows, once the
// window has handled it, so that a test sends its next key only then. The
// release, not the press: a shortcut takes the press before any window
// sees it.
class KeyReporter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyRelease || qobject_cast<QWindow*>(watched) == nullptr) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    std::string name = QKeySequence(key->key()).toString(QKeySequence::PortableText).toStdString();
    QTimer::singleShot(0, [name] { Say("key " + name); });
    return false;
  }
};

class LookDialog : public keypad::KeypadDialog {
 public:
  LookDialog() {
    for (const dlg::ControlTemplate& c : Template().controls) {
      if (c.id == dlg::kNoId) continue;
      int id = c.id;
      Bind(id, dlg::Notification::kSetFocus, [id] { Say("focus " + std::to_string(id)); });
      Bind(id, dlg::Notification::kClicked, [this, id] {
        Say("click " + std::to_string(id));
        if (id == dlg::kIdOk) EndDialog(dlg::kIdOk);
      });
    }
  }

  void Command(const std::string& line) {
    if (line.rfind("shot ", 0) == 0) {
      std::string file = line.substr(5);
      Once(AllExposed, [file] { Shot(file); });
    } else if (line == "box ok" || line == "box yesno") {
      bool yesNo = line == "box yesno";
      int answer =
          MessageBox(Cp932(yesNo ? "設定を保存しますか？" : "＊＊ Tolvane.ini ファイルが開く事ができません。＊＊"),
                     Cp932(yesNo ? "確認" : "エラー"), yesNo ? dlg::Buttons::kYesNo : dlg::Buttons::kOk);
      Say(std::string("box ") + (yesNo ? "yesno " : "ok ") + std::to_string(answer));
    } else if (line.rfind("focus ", 0) == 0) {
      SetFocusTo(std::stoi(line.substr(6)));
    } else if (line == "focused") {
      Say("focused " + std::to_string(Focused()));
    } else if (line == "sysmenu") {
      auto* window = dynamic_cast<dlg::qt::QtDialogWindow*>(dlg::ActiveWindow());
      if (window != nullptr && window->SystemMenuButton() != nullptr) window->SystemMenuButton()->click();
    } else if (line == "ready") {
      Once([] { return Ready(); }, [] { Say("ready " + XWindowOf(ActiveWidget())); });
    } else if (line.rfind("text ", 0) == 0) {
      std::size_t space = line.find(' ', 5);
      SetText(std::stoi(line.substr(5, space - 5)), Cp932(line.substr(space + 1)));
    } else if (line == "quit") {
      EndDialog(dlg::kIdCancel);
    }
  }

 protected:
  // The window on top is active and drawn and no menu is open, so that
  // keys sent from outside reach it.
  static bool Ready() {
    QWidget* widget = ActiveWidget();
    return widget != nullptr && widget->isActiveWindow() && QApplication::activePopupWidget() == nullptr &&
           AllExposed();
  }

  void OnShowWindow(bool shown) override {
    KeypadDialog::OnShowWindow(shown);
    Once([this] { return Framed(); }, [this] { ReportShown(); });
  }
  void OnSysCommand(int command) override {
    Say("syscommand " + std::to_string(command));
    KeypadDialog::OnSysCommand(command);
  }

 private:
  // Active and drawn, and framed where a window manager frames it (a
  // little after it is shown).
  bool Framed() const {
    QWidget* widget = ActiveWidget();
    return widget != nullptr && widget->isActiveWindow() && AllExposed() &&
           (!framed || widget->frameGeometry().size() != widget->size());
  }

  void ReportShown() {
    QWidget* widget = ActiveWidget();
    QWidget* client = widget->findChild<QWidget*>(QStringLiteral("client"));
    QSize size = client != nullptr ? client->size() : widget->size();
    QSize frame = widget->frameGeometry().size();
    Say("shown " + std::to_string(size.width()) + " " + std::to_string(size.height()) + " " +
        std::to_string(widget->width()) + " " + std::to_string(widget->height()) + " " + std::to_string(frame.width()) +
        " " + std::to_string(frame.height()));
  }

 public:
  bool framed = false;
};

}  // namespace

int main(int argc, char** argv) {
  dlg::App app(Cp932("見本"));
  app.BindCommand(keypad::kHelpCommand, [] { Say("command " + std::to_string(keypad::kHelpCommand)); });
  app.BindCommand(keypad::kSettingsCommand, [] { Say("command " + std::to_string(keypad::kSettingsCommand)); });
  app.BindCommand(keypad::kRegexCommand, [] { Say("command " + std::to_string(keypad::kRegexCommand)); });
  keypad::RegisterKeypadIcon();
  // The platform picks the backend; this program is for the Qt one.
  if (dynamic_cast<dlg::qt::QtBackend*>(&dlg::CurrentBackend()) == nullptr) return 2;
  KeyReporter keys;
  qApp->installEventFilter(&keys);
  LookDialog dialog;
  dialog.framed = argc > 1 && std::string(argv[1]) == "--framed";
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  std::string pending;
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[256];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
      input.setEnabled(false);
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      // Not from inside the notifier: a command may run a modal window,
      // whose loop must go on reading commands.
      QTimer::singleShot(0, [&dialog, line] { dialog.Command(line); });
    }
  });
  int result = dialog.DoModal();
  Say("result " + std::to_string(result));
  return 0;
}
