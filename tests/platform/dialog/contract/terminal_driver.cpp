// The terminal backend in the contract, on a pseudo-terminal: actions are
// the bytes a terminal sends for keys and mouse clicks, each sent when the
// backend's loop has drawn and waits for input with the window it is
// meant for on top; time is real.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <string>
#include <utility>

#include "platform/dialog/terminal/terminal_dialog_window.h"
#include "platform/dialog/terminal/terminal_message_box.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/contract/backend_driver.h"
#include "tests/platform/dialog/terminal/pseudo_terminal.h"

namespace contract {
namespace {

using namespace platform::dialog;
using terminal::TerminalDialogWindow;
using terminal::TerminalMessageBox;
using terminal_test::PseudoTerminal;
using Clock = std::chrono::steady_clock;

enum class Top { kDialog, kBox, kAny };

class TerminalDriver final : public BackendDriver {
 public:
  TerminalDriver() {
    tty_.Backend().SetIdleHook([this] { return Idle(); });
  }

  Backend& TheBackend() override { return tty_.Backend(); }

  void Click(int id) override {
    In(Top::kDialog, "a dialog to click " + std::to_string(id) + " in", [this, id] { ClickControl(id); });
  }
  void Tab() override { Keys(PseudoTerminal::kTab, "Tab"); }
  void Press(MoveKey key) override {
    switch (key) {
      case MoveKey::kTab: return Tab();
      case MoveKey::kBackTab: return Keys(PseudoTerminal::kBackTab, "Shift+Tab");
      case MoveKey::kLeft: return Keys(PseudoTerminal::kLeft, "Left");
      case MoveKey::kRight: return Keys(PseudoTerminal::kRight, "Right");
      case MoveKey::kUp: return Keys(PseudoTerminal::kUp, "Up");
      case MoveKey::kDown: return Keys(PseudoTerminal::kDown, "Down");
    }
  }
  void Enter() override { Keys(PseudoTerminal::kEnter, "Enter"); }
  void Escape() override { Keys(PseudoTerminal::kEscape, "Escape"); }
  void Type(int id, std::string_view cp932) override {
    std::string utf8 = platform::text::ToUtf8(cp932);
    In(Top::kDialog, "a dialog to type into " + std::to_string(id) + " in", [this, id, utf8] {
      ClickControl(id);
      Send(utf8);
    });
  }
  void Menu(int command) override {
    In(Top::kDialog, "a dialog with menu command " + std::to_string(command), [this, command] {
      const MenuTemplate* menu = TopDialog()->TheDialog().Template().menu;
      ASSERT_NE(menu, nullptr);
      for (std::size_t i = 0; i < menu->items.size(); ++i) {
        if (menu->items[i].command != command) continue;
        std::string keys(PseudoTerminal::kF10);
        for (std::size_t n = 0; n < i; ++n) keys += PseudoTerminal::kRight;
        return Send(keys + std::string(PseudoTerminal::kEnter));
      }
      ADD_FAILURE() << "no menu command " << command;
    });
  }
  void Answer(int button) override {
    In(Top::kBox, "a message box to answer", [this, button] {
      auto* box = dynamic_cast<TerminalMessageBox*>(tty_.Backend().Top());
      terminal::CellRect cells = box->ButtonCells(button);
      ASSERT_FALSE(cells.Empty()) << "no button " << button << " on the box";
      Send(PseudoTerminal::Click(cells.row, cells.col + cells.cols / 2));
    });
  }
  void WaitUntil(std::function<bool()> ready, int, std::string what) override {
    actions_.push_back({Top::kAny, std::move(what), {}, std::move(ready)});
  }
  void Do(std::function<void()> step) override { In(Top::kAny, "a window for a step", std::move(step)); }

  // The push button drawn as the default one: its left edge shows the
  // mark (a tall one, its double frame).
  int ShownDefault() override {
    TerminalDialogWindow* top = TopDialog();
    if (top == nullptr) return kNoId;
    const terminal::Canvas& screen = tty_.Backend().Screen();
    int shown = kNoId;
    for (const ControlTemplate& c : top->TheDialog().Template().controls) {
      if (c.kind != ControlKind::kPushButton) continue;
      terminal::CellRect cells = top->ScreenCellsOf(c.id);
      if (cells.Empty()) continue;
      char32_t mark = screen.At(cells.row, cells.col).code;
      if (mark == U'<' || mark == U'╔') shown = c.id;
    }
    return shown;
  }

  bool Finished() override {
    for (const Action& a : actions_) ADD_FAILURE() << "not taken: " << a.what;
    return actions_.empty() && !failed_;
  }

 private:
  struct Action {
    Top top;
    std::string what;
    std::function<void()> run;
    std::function<bool()> ready;  // a wait: done once it holds
  };

  void In(Top top, std::string what, std::function<void()> run) {
    actions_.push_back({top, std::move(what), std::move(run), {}});
  }
  void Keys(std::string_view bytes, const char* name) {
    In(Top::kDialog, std::string("a dialog for ") + name, [this, bytes] { Send(bytes); });
  }
  void Send(std::string_view bytes) { tty_.Send(bytes); }

  TerminalDialogWindow* TopDialog() { return dynamic_cast<TerminalDialogWindow*>(tty_.Backend().Top()); }

  void ClickControl(int id) {
    terminal::CellRect cells = TopDialog()->ScreenCellsOf(id);
    ASSERT_FALSE(cells.Empty()) << "control " << id << " is not on the screen";
    Send(PseudoTerminal::Click(cells.row, cells.col));
  }

  bool TopIs(Top wanted) {
    terminal::ScreenWindow* top = tty_.Backend().Top();
    if (top == nullptr) return false;
    bool box = dynamic_cast<TerminalMessageBox*>(top) != nullptr;
    return wanted == Top::kAny || box == (wanted == Top::kBox);
  }

  // The loop has drawn and waits: the next action when its window is on
  // top and the last one's input was read. An action that cannot be taken
  // within half a minute fails and is dropped, so a case never hangs; the
  // bound is no wait, and generous, since a loaded machine is slow.
  int Idle() {
    if (tty_.InputPending()) return 0;
    if (actions_.empty()) return -1;
    Action& next = actions_.front();
    bool ok = next.ready ? next.ready() : TopIs(next.top);
    if (!ok) {
      if (!waiting_) since_ = Clock::now();
      waiting_ = true;
      if (Clock::now() - since_ < std::chrono::seconds(30)) return 10;
      ADD_FAILURE() << "gave up waiting for " << next.what;
      failed_ = true;
      waiting_ = false;
      actions_.pop_front();
      if (actions_.empty()) Send(PseudoTerminal::kEscape);
      return 0;
    }
    waiting_ = false;
    Action taken = std::move(next);
    actions_.pop_front();
    if (taken.run) taken.run();
    return 0;
  }

  PseudoTerminal tty_{40, 120};
  std::deque<Action> actions_;
  bool waiting_ = false;
  bool failed_ = false;
  Clock::time_point since_;
};

const DriverRegistration kTerminal("terminal", [] { return std::unique_ptr<BackendDriver>(new TerminalDriver); });

}  // namespace
}  // namespace contract
