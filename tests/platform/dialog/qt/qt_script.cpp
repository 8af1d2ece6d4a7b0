#include "tests/platform/dialog/qt/qt_script.h"

#include <gtest/gtest.h>

#include <cstdlib>     // setenv, getenv
#include <filesystem>  // read_symlink
#include <memory>

#include <QAbstractButton>
#include <QMessageLogContext>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace qt_test {
namespace {

QtMessageHandler gQtDefaultHandler = nullptr;

// The offscreen platform says at every window that it cannot raise it or
// grab the keyboard; those notes drown the test output.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  if (gQtDefaultHandler != nullptr) gQtDefaultHandler(type, context, message);
}

constexpr int kPollMs = 5;
constexpr long long kStepTimeoutMs = 10000;

// One QApplication and one Qt backend for the whole test program, on the
// offscreen platform so that no display is needed.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    gQtDefaultHandler = qInstallMessageHandler(QuietHandler);
    backend_ = std::make_unique<qtd::QtBackend>();
  }
  void TearDown() override { backend_.reset(); }

  qtd::QtBackend& Get() { return *backend_; }

 private:
  std::unique_ptr<qtd::QtBackend> backend_;
};

QtEnvironment* const gEnvironment = static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

qtd::QtBackend& TheQtBackend() { return gEnvironment->Get(); }

qtd::QtDialogWindow* TopDialog() {
  auto* top = TheQtBackend().ActiveWindow();
  return dynamic_cast<qtd::QtDialogWindow*>(top);
}

qtd::QtMessageBox* TopBox() { return dynamic_cast<qtd::QtMessageBox*>(TheQtBackend().ActiveWindow()); }

void Click(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void ClickAt(QWidget* widget, QPoint pos) {
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
  ASSERT_NE(widget, nullptr);
  QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
}

void Type(QWidget* widget, const QString& text) {
  ASSERT_NE(widget, nullptr);
  // One key event per character, carrying it as its text, as an input method
  // delivers Japanese characters (QTest::keyClicks knows Latin keys only).
  for (char32_t point : text.toUcs4())
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&point, 1), Qt::NoModifier);
}

void ClickControl(int id) {
  qtd::QtDialogWindow* top = TopDialog();
  ASSERT_NE(top, nullptr) << "no dialog on top to click " << id << " in";
  QWidget* widget = top->ControlWidget(id);
  ASSERT_NE(widget, nullptr) << "no control " << id;
  Click(widget);
}

void ClickBoxButton(const QString& text) {
  qtd::QtMessageBox* box = TopBox();
  ASSERT_NE(box, nullptr) << "no message box on top";
  for (QPushButton* button : box->ButtonList()) {
    if (button->text() == text) {
      Click(button);
      return;
    }
  }
  ADD_FAILURE() << "the message box has no button " << text.toStdString();
}

QString ScreenshotPath(const char* fileName) {
  const char* dir = std::getenv("YUBIN_BINARY_DIR");
  std::string base;
  if (dir != nullptr && *dir != '\0') {
    base = dir;
  } else {
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    base = self.substr(0, self.rfind('/'));
  }
  return QString::fromStdString(base + "/" + fileName);
}

Script::~Script() = default;

Script& Script::At(int depth, std::function<void()> action) {
  auto ready = [depth] {
    const auto& stack = TheQtBackend().ModalStack();
    if (static_cast<int>(stack.size()) != depth) return false;
    auto* top = dynamic_cast<qtd::QtWindow*>(stack.back());
    // Active too: focus events and window shortcuts need that.
    return top != nullptr && top->Widget()->isVisible() && top->Widget()->isActiveWindow();
  };
  return When(ready, std::move(action), "modal depth " + std::to_string(depth));
}

Script& Script::When(std::function<bool()> ready, std::function<void()> action, std::string what) {
  steps_.push_back(Step{std::move(ready), std::move(action), std::move(what)});
  return *this;
}

void Script::Start() {
  if (polling_) return;
  polling_ = true;
  QTimer::singleShot(0, context_.get(), [this] { Poll(); });
}

void Script::Poll() {
  if (steps_.empty()) {
    // A step that failed before ending its window would leave the test
    // waiting for ever: windows still open long after the last step are
    // closed, and that is a failure.
    if (TheQtBackend().ModalStack().empty()) {
      polling_ = false;
      return;
    }
    waitedMs_ += kPollMs;
    if (failed_) {
      Abort();
    } else if (waitedMs_ > kStepTimeoutMs) {
      ADD_FAILURE() << "windows were still open long after the script's last step";
      failed_ = true;
      Abort();
    }
    QTimer::singleShot(kPollMs, context_.get(), [this] { Poll(); });
    return;
  }
  if (failed_) {
    Abort();
    QTimer::singleShot(kPollMs, context_.get(), [this] { Poll(); });
    return;
  }
  if (!steps_.front().ready()) {
    waitedMs_ += kPollMs;
    if (waitedMs_ > kStepTimeoutMs) {
      ADD_FAILURE() << "script step waiting for " << steps_.front().what << " timed out";
      failed_ = true;
    }
    QTimer::singleShot(kPollMs, context_.get(), [this] { Poll(); });
    return;
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  waitedMs_ = 0;
  // The next poll is due before the action runs: the action may open a
  // modal window whose loop must carry the script on.
  QTimer::singleShot(kPollMs, context_.get(), [this] { Poll(); });
  step.action();
}

// Ends the window on top; repeated polls end the rest.
void Script::Abort() {
  if (qtd::QtMessageBox* box = TopBox()) {
    box->Box()->done(0);
  } else if (qtd::QtDialogWindow* dialog = TopDialog()) {
    dialog->EndModal(-1);
  } else {
    steps_.clear();
  }
}

}  // namespace qt_test
