// The Qt backend in the contract, on the offscreen platform: actions are
// real mouse clicks and keys on the widgets, taken by the script runner
// once the window they are meant for is on top and active; time is real.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include <QPushButton>
#include <QWidget>

#include "platform/dialog/qt/menu_strip.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/contract/backend_driver.h"
#include "tests/platform/dialog/qt/qt_script.h"

namespace contract {
namespace {

namespace qtd = platform::dialog::qt;
using namespace platform::dialog;

enum class Top { kDialog, kBox, kAny };

// The modal window on top is of the kind wanted, shown and active.
bool TopReady(Top wanted) {
  const auto& stack = qt_test::TheQtBackend().ModalStack();
  if (stack.empty()) return false;
  auto* top = dynamic_cast<qtd::QtWindow*>(stack.back());
  if (top == nullptr || !top->Widget()->isVisible() || !top->Widget()->isActiveWindow()) return false;
  bool box = qt_test::TopBox() != nullptr;
  return wanted == Top::kAny || box == (wanted == Top::kBox);
}

// Where the keyboard is in the dialog on top.
QWidget* KeyTarget() {
  QWidget* window = qt_test::TopDialog()->Widget();
  return window->focusWidget() != nullptr ? window->focusWidget() : window;
}

class QtDriver final : public BackendDriver {
 public:
  Backend& TheBackend() override { return qt_test::TheQtBackend(); }

  void Click(int id) override {
    In(
        Top::kDialog, [id] { qt_test::ClickControl(id); }, "a dialog to click " + std::to_string(id) + " in");
  }
  void Tab() override { Key(Qt::Key_Tab, "Tab"); }
  void Press(MoveKey key) override {
    switch (key) {
      case MoveKey::kTab: return Tab();
      case MoveKey::kBackTab: return Key(Qt::Key_Backtab, "Shift+Tab");
      case MoveKey::kLeft: return Key(Qt::Key_Left, "Left");
      case MoveKey::kRight: return Key(Qt::Key_Right, "Right");
      case MoveKey::kUp: return Key(Qt::Key_Up, "Up");
      case MoveKey::kDown: return Key(Qt::Key_Down, "Down");
    }
  }
  void Enter() override { Key(Qt::Key_Return, "Enter"); }
  void Escape() override { Key(Qt::Key_Escape, "Escape"); }
  void Type(int id, std::string_view cp932) override {
    QString text = QString::fromStdString(platform::text::ToUtf8(cp932));
    In(
        Top::kDialog,
        [id, text] {
          QWidget* edit = qt_test::TopDialog()->ControlWidget(id);
          qt_test::Click(edit);
          qt_test::Type(edit, text);
        },
        "a dialog to type into " + std::to_string(id) + " in");
  }
  void Menu(int command) override {
    In(
        Top::kDialog,
        [command] {
          qtd::MenuStrip* strip = qt_test::TopDialog()->Strip();
          ASSERT_NE(strip, nullptr);
          for (int i = 0; i < strip->ItemCount(); ++i)
            if (strip->ItemAt(i).command == command) return qt_test::ClickAt(strip, strip->ItemRect(i).center());
          ADD_FAILURE() << "no menu command " << command;
        },
        "a dialog with menu command " + std::to_string(command));
  }
  void Answer(int button) override {
    const char* text = button == kIdYes ? "はい(&Y)" : button == kIdNo ? "いいえ(&N)" : "OK";
    In(
        Top::kBox, [text] { qt_test::ClickBoxButton(QString::fromUtf8(text)); }, "a message box to answer");
  }
  void WaitUntil(std::function<bool()> ready, int, std::string what) override {
    script_.When(
        std::move(ready), [] {}, std::move(what));
    script_.Start();
  }
  void Do(std::function<void()> step) override { In(Top::kAny, std::move(step), "a window for a step"); }

  int ShownDefault() override {
    int shown = kNoId;
    for (auto* button : qt_test::TopDialog()->Client()->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
      if (!button->isDefault()) continue;
      QString name = button->objectName();
      shown = name.startsWith(QStringLiteral("control_")) ? name.mid(8).toInt() : kNoId;
    }
    return shown;
  }

  bool Finished() override { return script_.Finished(); }

 private:
  void In(Top top, std::function<void()> action, std::string what) {
    script_.When([top] { return TopReady(top); }, std::move(action), std::move(what));
    script_.Start();
  }
  void Key(int key, const char* name) {
    In(
        Top::kDialog, [key] { qt_test::Key(KeyTarget(), key); }, std::string("a dialog for ") + name);
  }

  qt_test::Script script_;
};

const DriverRegistration kQt("qt", [] { return std::unique_ptr<BackendDriver>(new QtDriver); });

}  // namespace
}  // namespace contract
