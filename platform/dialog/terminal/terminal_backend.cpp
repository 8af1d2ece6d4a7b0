#include "platform/dialog/terminal/terminal_backend.h"

#include <algorithm>
#include <cstdlib>  // setenv, unsetenv
#include <string>

#include "platform/dialog/dialog.h"
#include "platform/dialog/terminal/glyphs.h"
#include "platform/dialog/terminal/terminal_dialog_window.h"
#include "platform/dialog/terminal/terminal_help_viewer.h"
#include "platform/dialog/terminal/terminal_message_box.h"
#include "platform/help_viewer.h"
#include "platform/text/cp932.h"

namespace platform::dialog::terminal {
namespace {

const char kIconMark[] = "[≡]";
constexpr int kIconMarkCells = 3;
const char kBusyMark[] = "（処理中）";

}  // namespace

TerminalBackend::TerminalBackend(std::unique_ptr<TerminalScreen> screen)
    : screen_(std::move(screen)), help_(std::make_unique<TerminalHelpViewer>(*this)) {
  HelpViewerInForce() = help_.get();
  // The terminal is the user's until the first window opens.
  screen_->Suspend();
}

TerminalBackend::~TerminalBackend() {
  if (HelpViewerInForce() == help_.get()) HelpViewerInForce() = nullptr;
}

void TerminalBackend::Push(ScreenWindow* screen, Window* window) {
  if (stack_.empty()) {
    screen_->Resume();
    ::setenv(kInUseVariable, "1", 1);
  }
  stack_.push_back({screen, window});
}

void TerminalBackend::Pop() {
  stack_.pop_back();
  if (stack_.empty()) GiveBack();
}

void TerminalBackend::GiveBack() {
  // Between windows the terminal is the user's, and whatever the program
  // wrote meanwhile is shown.
  screen_->Suspend();
  ::unsetenv(kInUseVariable);
}

int TerminalBackend::RunModal(Dialog& dialog, Window*) {
  TerminalDialogWindow window(*this, dialog);
  DialogEvents::AttachWindow(dialog, &window);
  // The window becomes the active one when it is shown: during its
  // initialisation the owner still is.
  if (DialogEvents::DeliverInit(dialog)) window.FocusFirstTabStop();
  if (!DialogEvents::EndRequested(dialog)) {
    Push(&window, &window);
    DialogEvents::DeliverShow(dialog, true);
    Loop([&dialog] { return DialogEvents::EndRequested(dialog); });
    // The owner is the active window again while the dialog is destroyed.
    Pop();
  }
  DialogEvents::DeliverDestroy(dialog);
  window.Detach();
  KillTimers(&window);
  DialogEvents::AttachWindow(dialog, nullptr);
  return DialogEvents::Result(dialog);
}

int TerminalBackend::ShowMessageBox(Window*, std::string_view text, std::string_view caption, Buttons buttons) {
  TerminalMessageBox box(text, caption, buttons);
  Push(&box, &box);
  Loop([&box] { return box.Answer() != 0; });
  Pop();
  return box.Answer();
}

void TerminalBackend::RunWindow(ScreenWindow& window, const std::function<bool()>& done) {
  Push(&window, nullptr);
  Loop(done);
  Pop();
}

Window* TerminalBackend::ActiveWindow() {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    if (it->window != nullptr) return it->window;
  return nullptr;
}

int TerminalBackend::EndProgram(int status) {
  GiveBack();
  return status;
}

void TerminalBackend::SetBusy(bool busy) {
  if (busy) {
    if (busy_++ == 0) busyDepth_ = stack_.size();
    // The reaction holds the loop: the mark goes out now.
    if (!stack_.empty()) Draw();
  } else if (busy_ > 0) {
    --busy_;
  }
}

// ---- Timers ----

void TerminalBackend::SetTimer(TerminalDialogWindow* window, int id, int milliseconds) {
  int interval = std::max(1, milliseconds);
  Clock::time_point due = Clock::now() + std::chrono::milliseconds(interval);
  for (Timer& t : timers_)
    if (t.window == window && t.id == id) {
      t.interval = interval;
      t.due = due;
      return;
    }
  timers_.push_back({window, id, interval, due});
}

void TerminalBackend::KillTimer(TerminalDialogWindow* window, int id) {
  timers_.erase(
      std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; }),
      timers_.end());
}

void TerminalBackend::KillTimers(TerminalDialogWindow* window) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window; }),
                timers_.end());
}

int TerminalBackend::MillisecondsToNextTimer() const {
  if (timers_.empty()) return -1;
  Clock::time_point first = timers_.front().due;
  for (const Timer& t : timers_) first = std::min(first, t.due);
  auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(first - Clock::now()).count();
  return static_cast<int>(std::max<long long>(0, wait + 1));
}

void TerminalBackend::FireTimers() {
  Clock::time_point now = Clock::now();
  // A tick may set or kill timers, or run a nested window whose loop
  // fires them: each due one is looked up afresh before it goes.
  std::vector<std::pair<TerminalDialogWindow*, int>> due;
  for (const Timer& t : timers_)
    if (t.due <= now) due.emplace_back(t.window, t.id);
  for (const auto& [dueWindow, dueId] : due) {
    // Plain copies: clang 14 lets no lambda capture a structured binding.
    TerminalDialogWindow* window = dueWindow;
    int id = dueId;
    auto it =
        std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers_.end() || it->due > Clock::now()) continue;
    // A loop held up by a long reaction ticks once, not once per interval
    // missed.
    it->due += std::chrono::milliseconds(it->interval);
    if (it->due <= now) it->due = now + std::chrono::milliseconds(it->interval);
    DialogEvents::DeliverTimer(window->TheDialog(), id);
  }
}

// ---- The loop ----

void TerminalBackend::Loop(const std::function<bool()>& done) {
  while (!done()) {
    Draw();
    int most = -1;
    if (idle_) {
      most = idle_();
      if (done()) break;
    }
    bool took = false;
    while (!done()) {
      std::optional<Input> input = screen_->Next();
      if (!input) break;
      Dispatch(*input);
      took = true;
    }
    if (done()) break;
    if (!took) {
      int wait = MillisecondsToNextTimer();
      if (most >= 0 && (wait < 0 || most < wait)) wait = most;
      screen_->Wait(wait);
    }
    FireTimers();
  }
}

void TerminalBackend::Dispatch(const Input& input) {
  if (input.kind == Input::Kind::kKey && input.key == Key::kInterrupt) screen_->Interrupt();
  if (input.kind == Input::Kind::kKey && input.key == Key::kRedraw) {
    screen_->RedrawAll();
    return;
  }
  if (input.kind == Input::Kind::kResize || stack_.empty()) return;
  ScreenWindow* top = stack_.back().screen;
  if (input.kind == Input::Kind::kMouse && input.row == 0) {
    if (input.mouse == Input::Mouse::kPress && input.col < kIconMarkCells && top->HasSystemMenu())
      top->OpenSystemMenu();
    return;
  }
  top->Take(input);
}

// ---- Drawing ----

void TerminalBackend::DrawTitleLine(const std::string& title, bool iconMark) {
  int cols = canvas_.Cols();
  canvas_.Fill({0, 0, 1, cols}, U' ', Ink::kTitleBar);
  int col = 1;
  if (iconMark) {
    canvas_.Utf8(0, 0, kIconMark, Ink::kTitleBar, kIconMarkCells);
    col = kIconMarkCells + 1;
  }
  int room = cols - col - 1;
  bool busy = busy_ > 0 && stack_.size() == busyDepth_;
  std::string busyMark = text::Cp932(kBusyMark);
  if (busy) room -= CellWidth(busyMark) + 1;
  // A title that may have been cut (the marquee's) loses a last half
  // character rather than showing it as a mark.
  canvas_.Text(0, col, text::WholeCharacters(title), Ink::kTitleBar, room);
  if (busy) canvas_.Text(0, cols - 1 - CellWidth(busyMark), busyMark, Ink::kTitleBar, CellWidth(busyMark));
}

void TerminalBackend::Draw() {
  if (stack_.empty() || screen_->Suspended()) return;
  CellSize size = screen_->Size();
  if (size.rows != canvas_.Rows() || size.cols != canvas_.Cols())
    canvas_.Resize(size.rows, size.cols);
  else
    canvas_.Clear();
  CellRect desk{1, 0, std::max(0, size.rows - 1), size.cols};
  auto placeAll = [&] {
    for (std::size_t i = 0; i < stack_.size(); ++i)
      stack_[i].screen->Place(desk, i == 0 && dynamic_cast<TerminalDialogWindow*>(stack_[i].screen) != nullptr);
  };
  placeAll();
  ScreenWindow* top = stack_.back().screen;
  CellSize needed = top->Needed();
  bool fits = needed.rows <= desk.rows && needed.cols <= desk.cols;
  if (!fits && desk.rows > 1) {
    // The bottom line says what the window needs.
    desk.rows -= 1;
    placeAll();
  }
  for (const Layer& layer : stack_) layer.screen->Draw(canvas_);
  DrawTitleLine(top->ShownTitle(), top->HasSystemMenu());
  if (!fits) {
    std::string note = "表示には " + std::to_string(needed.cols) + "×" + std::to_string(needed.rows + 1) +
                       " の端末が必要です（いまは " + std::to_string(size.cols) + "×" + std::to_string(size.rows) +
                       "、スクロールして表示）";
    canvas_.Fill({size.rows - 1, 0, 1, size.cols}, U' ', Ink::kNote);
    canvas_.Utf8(size.rows - 1, 1, note, Ink::kNote, size.cols - 2);
  }
  CellPoint cursor = top->Cursor();
  screen_->Present(canvas_, cursor.row, cursor.col);
}

void TerminalBackend::RedrawAll() {
  screen_->RedrawAll();
  Draw();
}

}  // namespace platform::dialog::terminal
