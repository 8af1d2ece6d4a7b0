#include "platform/dialog/qt/qt_backend.h"

#include <unistd.h>  // readlink

#include <algorithm>  // std::min
#include <cstring>    // std::strrchr, std::strlen, std::memcpy

#include <QApplication>
#include <QClipboard>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

#include "platform/dialog/dialog.h"
#include "platform/dialog/qt/dialog_units.h"
#include "platform/dialog/qt/qt_dialog_window.h"
#include "platform/dialog/qt/qt_help_viewer.h"
#include "platform/dialog/qt/qt_message_box.h"
#include "platform/dialog/qt/qt_window.h"
#include "platform/dialog/qt/x_display.h"
#include "platform/text/cp932.h"

namespace platform::dialog::qt {
namespace {

// QApplication keeps references to these for its whole life. The name is
// the program file's, so that the desktop groups its windows under it.
int gArgc = 1;
char gProgram[256] = "yubin";
char* gArgv[] = {gProgram, nullptr};

void NameProgram() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return;
  path[n] = '\0';
  const char* slash = std::strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  std::size_t length = std::min(std::strlen(name), sizeof gProgram - 1);
  std::memcpy(gProgram, name, length);
  gProgram[length] = '\0';
}

// Pops the window from the stack however the run ends.
class StackEntry {
 public:
  StackEntry(std::vector<Window*>& stack, Window* window) : stack_(stack) { stack_.push_back(window); }
  ~StackEntry() { stack_.pop_back(); }
  StackEntry(const StackEntry&) = delete;
  StackEntry& operator=(const StackEntry&) = delete;

 private:
  std::vector<Window*>& stack_;
};

// The ordinary pointer over a window that waits for the user, when it
// opens while the program is busy; the wait cursor comes back with the
// window's end. Qt keeps override cursors on a stack, so scopes nest.
class UserPointer {
 public:
  explicit UserPointer(bool busy) : pushed_(busy) {
    if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~UserPointer() {
    if (pushed_) QApplication::restoreOverrideCursor();
  }
  UserPointer(const UserPointer&) = delete;
  UserPointer& operator=(const UserPointer&) = delete;

 private:
  bool pushed_;
};

// Qt's own texts (the edits' context menus, say) in Japanese, as the rest
// of the programs are, where the translations are installed.
void InstallJapaneseTranslation() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

}  // namespace

QtBackend::QtBackend() {
  InstallFontSubstitutes();
  // Never deleted: see the header.
  if (QApplication::instance() == nullptr) {
    NameProgram();
    new QApplication(gArgc, gArgv);
  }
  // Qt holds its own connection now: the display check may let go of its.
  ReleaseXDisplayCheck();
  InstallJapaneseTranslation();
  // The fonts' substitutes are read when a font is first resolved; set them
  // again in case the application's start reset them.
  InstallFontSubstitutes();
  help_ = std::make_unique<QtHelpViewer>();
  HelpViewerInForce() = help_.get();
}

QtBackend::~QtBackend() {
  if (HelpViewerInForce() == help_.get()) HelpViewerInForce() = nullptr;
  help_.reset();
}

QWidget* QtBackend::WidgetOf(Window* window) const {
  auto* qtWindow = dynamic_cast<QtWindow*>(window);
  return qtWindow != nullptr ? qtWindow->Widget() : nullptr;
}

void QtBackend::ActivateTop() {
  if (stack_.empty()) return;
  if (QWidget* top = WidgetOf(stack_.back())) {
    top->raise();
    top->activateWindow();
  }
}

int QtBackend::RunModal(Dialog& dialog, Window* owner) {
  int result = -1;
  {
    UserPointer pointer(busy_ > 0);
    QtDialogWindow window(dialog, WidgetOf(owner));
    DialogEvents::AttachWindow(dialog, &window);
    if (DialogEvents::DeliverInit(dialog)) window.FocusFirstTabStop();
    if (!DialogEvents::EndRequested(dialog)) {
      StackEntry entry(stack_, &window);
      window.ShowAndActivate();
      DialogEvents::DeliverShow(dialog, true);
      window.RunUntilEnd();
    }
    DialogEvents::DeliverDestroy(dialog);
    window.Detach();
    DialogEvents::AttachWindow(dialog, nullptr);
    result = DialogEvents::Result(dialog);
  }
  ActivateTop();
  return result;
}

int QtBackend::ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) {
  int answer = kIdOk;
  {
    UserPointer pointer(busy_ > 0);
    QtMessageBox box(WidgetOf(owner), text, caption, buttons);
    StackEntry entry(stack_, &box);
    answer = box.Run();
  }
  ActivateTop();
  return answer;
}

Window* QtBackend::ActiveWindow() { return stack_.empty() ? nullptr : stack_.back(); }

bool QtBackend::SetClipboardText(std::string_view cp932) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->setText(QString::fromStdString(platform::text::ToUtf8(cp932)));
  return true;
}

void QtBackend::SetBusy(bool busy) {
  if (busy) {
    ++busy_;
    // X shows it at once (the request is flushed), also while the reaction
    // that asked for it keeps the event loop from running.
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_ > 0) {
    --busy_;
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace platform::dialog::qt
