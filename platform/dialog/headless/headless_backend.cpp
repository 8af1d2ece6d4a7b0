#include "platform/dialog/headless/headless_backend.h"

#include <algorithm>
#include <ostream>
#include <utility>

#include "platform/text/cp932.h"

namespace platform::dialog::headless {

namespace {

using Kind = HeadlessBackend::Event::Kind;

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kClick: return "click";
    case Kind::kChoose: return "choose";
    case Kind::kFocus: return "focus";
    case Kind::kType: return "type";
    case Kind::kEnter: return "Enter";
    case Kind::kEscape: return "Escape";
    case Kind::kTab: return "Tab";
    case Kind::kKey: return "key";
    case Kind::kCloseBox: return "close box";
    case Kind::kSysCommand: return "system command";
    case Kind::kMenuCommand: return "menu command";
    case Kind::kWait: return "wait";
    case Kind::kAnswer: return "answer";
    case Kind::kPrint: return "print";
    case Kind::kTitle: return "title";
    case Kind::kClipboard: return "clipboard";
    case Kind::kDo: return "step";
  }
  return "event";
}

bool IsEdit(const ControlTemplate* t) { return t != nullptr && t->kind == ControlKind::kEdit; }

int DefaultAnswer(Buttons buttons) { return buttons == Buttons::kYesNo ? kIdYes : kIdOk; }

bool Fits(Buttons buttons, int answer) {
  if (buttons == Buttons::kYesNo) return answer == kIdYes || answer == kIdNo;
  return answer == kIdOk;
}

// A CP932 text as output: UTF-8 (a byte that forms no character shows as
// U+FFFD), each CR LF, CR or LF a line feed, or with `oneLine` a blank.
std::string OutputText(std::string_view cp932, bool oneLine) {
  std::string utf8 = text::ToUtf8(cp932);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += oneLine ? ' ' : '\n';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

// A message box while it is open: a window with a title only.
class HeadlessBackend::Box final : public Window {
 public:
  explicit Box(std::string title) : title_(std::move(title)) {}
  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override { title_ = cp932; }

 private:
  std::string title_;
};

// ---- The window of one dialog run ----

HeadlessDialogWindow::HeadlessDialogWindow(HeadlessBackend& backend, Dialog& dialog, std::string owner)
    : backend_(backend), dialog_(&dialog), tmpl_(dialog.Template()), owner_(std::move(owner)) {
  title_ = TemplateText(tmpl_.caption);
  for (const ControlTemplate& t : tmpl_.controls) {
    Control c;
    static_cast<ControlState&>(c) = ControlState::FromTemplate(t);
    c.text = TemplateText(t.text);
    c.limit = t.textLimit;
    controls_.push_back(std::move(c));
  }
}

HeadlessDialogWindow::Control* HeadlessDialogWindow::Find(int id) {
  if (id == kNoId) return nullptr;
  for (Control& c : controls_)
    if (c.tmpl->id == id) return &c;
  return nullptr;
}

const HeadlessDialogWindow::Control* HeadlessDialogWindow::Find(int id) const {
  return const_cast<HeadlessDialogWindow*>(this)->Find(id);
}

std::string HeadlessDialogWindow::ControlText(int id) const {
  const Control* c = Find(id);
  return c != nullptr ? c->text : std::string();
}

void HeadlessDialogWindow::SetControlText(int id, std::string_view cp932) {
  if (Control* c = Find(id)) {
    c->text = cp932;
    c->selected = false;
  }
}

int HeadlessDialogWindow::CheckState(int id) const {
  const Control* c = Find(id);
  return c != nullptr ? c->check : 0;
}

void HeadlessDialogWindow::SetCheckState(int id, int state) {
  if (Control* c = Find(id)) c->SetCheck(state);
}

WindowRules HeadlessDialogWindow::Rules() const {
  return WindowRules(tmpl_, [this](std::size_t index) -> ControlState { return controls_[index]; });
}

bool HeadlessDialogWindow::IsControlEnabled(int id) const {
  const Control* c = Find(id);
  return c != nullptr && c->enabled;
}

void HeadlessDialogWindow::EnableControl(int id, bool enabled) {
  if (Control* c = Find(id)) {
    c->enabled = enabled;
    if (!enabled && focus_ == id) focus_ = kNoId;
  }
}

bool HeadlessDialogWindow::IsControlVisible(int id) const {
  const Control* c = Find(id);
  return c != nullptr && c->visible;
}

void HeadlessDialogWindow::ShowControl(int id, bool visible) {
  if (Control* c = Find(id)) {
    c->visible = visible;
    if (!visible && focus_ == id) focus_ = kNoId;
  }
}

void HeadlessDialogWindow::SetFocus(int id) {
  Control* c = Find(id);
  if (c == nullptr || !Rules().TakesFocus(id) || focus_ == id) return;
  // A click or the program's move puts the caret in the text.
  c->selected = false;
  focus_ = id;
  if (dialog_ != nullptr) DialogEvents::DeliverFocus(*dialog_, id);
}

void HeadlessDialogWindow::FocusNextTabStop(bool backwards) {
  int target = Rules().NextTabStop(focus_, backwards);
  // No tab stop, or the only one: the focus stays, as it does on a real window.
  if (target == kNoId || target == focus_) return;
  SetFocus(target);
  // Arriving by a tab stop selects an edit's text, after the dialog has
  // heard of the focus (and perhaps set the text).
  if (Control* c = Find(target); c != nullptr && focus_ == target && IsEdit(c->tmpl)) c->selected = true;
}

void HeadlessDialogWindow::SetTextLimit(int id, int limit) {
  if (Control* c = Find(id)) c->limit = limit > 0 ? limit : 0;
}

int HeadlessDialogWindow::TextLimit(int id) const {
  const Control* c = Find(id);
  return c != nullptr ? c->limit : 0;
}

void HeadlessDialogWindow::AppendSystemMenuSeparator() { systemMenu_.push_back({0, {}}); }

void HeadlessDialogWindow::AppendSystemMenuItem(int command, std::string_view cp932) {
  systemMenu_.push_back({command, std::string(cp932)});
}

void HeadlessDialogWindow::SetIcon(int icon, bool big) { (big ? bigIcon_ : smallIcon_) = icon; }

void HeadlessDialogWindow::SetTimer(int id, int milliseconds) { backend_.SetTimer(this, id, milliseconds); }

void HeadlessDialogWindow::KillTimer(int id) { backend_.KillTimer(this, id); }

// ---- The backend ----

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

HeadlessBackend& HeadlessBackend::Queue(Event event) {
  events_.push_back(std::move(event));
  return *this;
}

HeadlessBackend& HeadlessBackend::Click(int id) { return Queue({Kind::kClick, id, {}, {}}); }
HeadlessBackend& HeadlessBackend::Choose(int id) { return Queue({Kind::kChoose, id, {}, {}}); }
HeadlessBackend& HeadlessBackend::Focus(int id) { return Queue({Kind::kFocus, id, {}, {}}); }
HeadlessBackend& HeadlessBackend::Type(int id, std::string_view cp932) {
  return Queue({Kind::kType, id, std::string(cp932), {}});
}
HeadlessBackend& HeadlessBackend::Enter() { return Queue({Kind::kEnter, 0, {}, {}}); }
HeadlessBackend& HeadlessBackend::Escape() { return Queue({Kind::kEscape, 0, {}, {}}); }
HeadlessBackend& HeadlessBackend::Tab() { return Queue({Kind::kTab, 0, {}, {}}); }
HeadlessBackend& HeadlessBackend::Key(MoveKey key) { return Queue({Kind::kKey, static_cast<int>(key), {}, {}}); }
HeadlessBackend& HeadlessBackend::CloseBox() { return Queue({Kind::kCloseBox, 0, {}, {}}); }
HeadlessBackend& HeadlessBackend::SysCommand(int command) { return Queue({Kind::kSysCommand, command, {}, {}}); }
HeadlessBackend& HeadlessBackend::MenuCommand(int command) { return Queue({Kind::kMenuCommand, command, {}, {}}); }
HeadlessBackend& HeadlessBackend::Wait(int milliseconds) { return Queue({Kind::kWait, milliseconds, {}, {}}); }
HeadlessBackend& HeadlessBackend::Answer(int button) { return Queue({Kind::kAnswer, button, {}, {}}); }
HeadlessBackend& HeadlessBackend::Print(int id) { return Queue({Kind::kPrint, id, {}, {}}); }
HeadlessBackend& HeadlessBackend::PrintTitle() { return Queue({Kind::kTitle, 0, {}, {}}); }
HeadlessBackend& HeadlessBackend::PrintClipboard() { return Queue({Kind::kClipboard, 0, {}, {}}); }

bool HeadlessBackend::SetClipboardText(std::string_view cp932) {
  clipboard_ = cp932;
  return true;
}
HeadlessBackend& HeadlessBackend::Do(std::function<void()> step) { return Queue({Kind::kDo, 0, {}, std::move(step)}); }

void HeadlessBackend::WriteTo(std::ostream& out, std::ostream& err, std::string scriptName) {
  out_ = &out;
  err_ = &err;
  scriptName_ = std::move(scriptName);
}

void HeadlessBackend::Error(std::string text) {
  if (err_ != nullptr) {
    *err_ << scriptName_ << ':';
    if (line_ > 0) *err_ << line_ << ':';
    *err_ << ' ' << text << std::endl;
  }
  errors_.push_back(std::move(text));
}

void HeadlessBackend::NoteFault(int line, std::string text) {
  int taking = line_;
  line_ = line;
  Error(std::move(text));
  line_ = taking;
}

void HeadlessBackend::Output(const std::string& utf8Line) {
  if (out_ != nullptr)
    *out_ << utf8Line << std::endl;
  else
    printed_ += utf8Line + '\n';
}

int HeadlessBackend::EndProgram(int status) {
  if (out_ == nullptr) return status;
  auto unused = std::find_if(events_.begin(), events_.end(), [](const Event& e) { return e.kind != Kind::kDo; });
  if (unused != events_.end()) {
    line_ = unused->line;
    Error("the program ended before this line was used");
    line_ = 0;
  }
  return errors_.empty() ? status : 3;
}

int HeadlessBackend::RunModal(Dialog& dialog, Window* owner) {
  std::string ownerTitle = owner != nullptr ? owner->Title() : std::string();
  windows_.push_back(std::make_unique<HeadlessDialogWindow>(*this, dialog, ownerTitle));
  HeadlessDialogWindow& window = *windows_.back();
  DialogEvents::AttachWindow(dialog, &window);

  // The window becomes the active one when it is shown: during its
  // initialisation the owner still is.
  if (DialogEvents::DeliverInit(dialog) && window.focus_ == kNoId) window.FocusNextTabStop(false);
  if (!DialogEvents::EndRequested(dialog)) {
    stack_.push_back(&window);
    window.shown_ = true;
    DialogEvents::DeliverShow(dialog, true);
  }
  while (!DialogEvents::EndRequested(dialog)) {
    if (events_.empty()) {
      if (out_ != nullptr) {
        CloseAtEnd(dialog);
        break;
      }
      Error("the script ended while dialog " + std::to_string(dialog.Template().id) + " was open");
      dialog.EndDialog(-1);
      break;
    }
    Event event = std::move(events_.front());
    events_.pop_front();
    // Faults while it is taken name its line, also after a nested window
    // that it opened has taken lines of its own.
    int taking = line_;
    line_ = event.line;
    Apply(event, window, dialog);
    line_ = taking;
  }

  // An ended dialog is hidden: the owner is the active window again while
  // the dialog is destroyed.
  auto onStack = std::find(stack_.begin(), stack_.end(), &window);
  if (onStack != stack_.end()) stack_.erase(onStack);
  DialogEvents::DeliverDestroy(dialog);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == &window; }),
                timers_.end());
  DialogEvents::AttachWindow(dialog, nullptr);
  window.dialog_ = nullptr;
  window.result_ = DialogEvents::Result(dialog);
  return DialogEvents::Result(dialog);
}

void HeadlessBackend::Apply(const Event& event, HeadlessDialogWindow& window, Dialog& dialog) {
  switch (event.kind) {
    case Kind::kClick: ClickControl(event.value, false, window, dialog); break;
    case Kind::kChoose: ClickControl(event.value, true, window, dialog); break;
    case Kind::kFocus: FocusControl(event.value, window); break;
    case Kind::kType: TypeInto(event.value, event.text, window, dialog); break;
    case Kind::kEnter: {
      const HeadlessDialogWindow::Control* c = window.Find(window.focus_);
      if (c != nullptr && IsEdit(c->tmpl) && (c->tmpl->style & kMultiLine) && (c->tmpl->style & kWantReturn))
        LineBreak(c->tmpl->id, window, dialog);
      else
        DialogEvents::DeliverEnter(dialog);
      break;
    }
    case Kind::kEscape: DialogEvents::DeliverEscape(dialog); break;
    case Kind::kTab: TakeKey(MoveKey::kTab, window, dialog); break;
    case Kind::kKey: TakeKey(static_cast<MoveKey>(event.value), window, dialog); break;
    case Kind::kCloseBox:
      if (!(window.tmpl_.style & kSystemMenu))
        Error("dialog " + std::to_string(window.tmpl_.id) + " has no close box");
      else
        DialogEvents::DeliverSysCommand(dialog, kCloseCommand);
      break;
    case Kind::kSysCommand: DialogEvents::DeliverSysCommand(dialog, event.value); break;
    case Kind::kMenuCommand: {
      const MenuTemplate* menu = window.tmpl_.menu;
      bool found = menu != nullptr && std::any_of(menu->items.begin(), menu->items.end(),
                                                  [&](const MenuItem& m) { return m.command == event.value; });
      if (!found)
        Error("dialog " + std::to_string(window.tmpl_.id) + " has no menu command " + std::to_string(event.value));
      else
        DialogEvents::DeliverMenuCommand(dialog, event.value);
      break;
    }
    case Kind::kWait: Advance(event.value); break;
    case Kind::kAnswer:
      Error("answer " + std::to_string(event.value) + " given while dialog " + std::to_string(window.tmpl_.id) +
            " was on top, not a message box");
      break;
    case Kind::kPrint: PrintControl(event.value, window); break;
    case Kind::kTitle:
      Output(
          "title: " +
          OutputText(text::WholeCharacters(ActiveWindow() != nullptr ? ActiveWindow()->Title() : std::string()), true));
      break;
    case Kind::kClipboard: Output("clipboard: " + OutputText(clipboard_, true)); break;
    case Kind::kDo:
      if (event.step) event.step();
      break;
  }
}

void HeadlessBackend::PrintControl(int id, HeadlessDialogWindow& window) {
  const HeadlessDialogWindow::Control* c = window.Find(id);
  if (c == nullptr)
    return Error("there is no control " + std::to_string(id) + " of dialog " + std::to_string(window.tmpl_.id));
  Output(std::to_string(id) + ": " + OutputText(c->text, false));
}

void HeadlessBackend::CloseAtEnd(Dialog& dialog) {
  // As the close box does, whether the dialog shows one or not; a dialog
  // that stays open even so (it asked a question, say, which took its
  // default answer) is ended, so that the program always ends.
  DialogEvents::DeliverSysCommand(dialog, kCloseCommand);
  if (!DialogEvents::EndRequested(dialog)) dialog.EndDialog(kIdCancel);
}

void HeadlessBackend::ClickControl(int id, bool radioOnly, HeadlessDialogWindow& window, Dialog& dialog) {
  HeadlessDialogWindow::Control* c = window.Find(id);
  std::string where = "control " + std::to_string(id) + " of dialog " + std::to_string(window.tmpl_.id);
  if (c == nullptr) return Error("there is no " + where);
  if (!c->enabled || !c->visible) return Error(where + " cannot be clicked: it is disabled or hidden");
  ControlKind kind = c->tmpl->kind;
  if (radioOnly && kind != ControlKind::kRadioButton) return Error(where + " is not a radio button");
  if (kind == ControlKind::kEdit) {
    FocusControl(id, window);
    return;
  }
  if (kind != ControlKind::kPushButton && kind != ControlKind::kRadioButton && kind != ControlKind::kCheckBox)
    return Error(where + " is not a button");
  window.SetFocus(id);
  Press(id, window, dialog);
}

void HeadlessBackend::Press(int id, HeadlessDialogWindow& window, Dialog& dialog) {
  for (const CheckChange& change : window.Rules().ChecksOnClick(id)) window.SetCheckState(change.id, change.check);
  DialogEvents::DeliverNotification(dialog, id, Notification::kClicked);
}

void HeadlessBackend::TakeKey(MoveKey key, HeadlessDialogWindow& window, Dialog& dialog) {
  if (key == MoveKey::kTab || key == MoveKey::kBackTab) return window.FocusNextTabStop(key == MoveKey::kBackTab);
  // An edit keeps the arrow keys for its caret, which this backend has not.
  FocusMove move = window.Rules().Move(window.focus_, key);
  if (move.target == kNoId) return;
  window.SetFocus(move.target);
  if (move.click) Press(move.target, window, dialog);
}

bool HeadlessBackend::FocusControl(int id, HeadlessDialogWindow& window) {
  const HeadlessDialogWindow::Control* c = window.Find(id);
  std::string where = "control " + std::to_string(id) + " of dialog " + std::to_string(window.tmpl_.id);
  if (c == nullptr) {
    Error("there is no " + where);
    return false;
  }
  if (!window.Rules().TakesFocus(id)) {
    Error(where + " cannot take the focus");
    return false;
  }
  window.SetFocus(id);
  return true;
}

void HeadlessBackend::TypeInto(int id, std::string_view text, HeadlessDialogWindow& window, Dialog& dialog) {
  const HeadlessDialogWindow::Control* c = window.Find(id);
  if (c != nullptr && !IsEdit(c->tmpl)) return Error("control " + std::to_string(id) + " is not an edit");
  if (!FocusControl(id, window)) return;
  if (c->tmpl->style & kReadOnly) return Error("edit " + std::to_string(id) + " is read-only");
  size_t i = 0;
  while (i < text.size() && !DialogEvents::EndRequested(dialog)) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\r' || b == '\n') {
      i += (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      if ((c->tmpl->style & kMultiLine) && (c->tmpl->style & kWantReturn))
        LineBreak(id, window, dialog);
      else
        DialogEvents::DeliverEnter(dialog);
      continue;
    }
    HeadlessDialogWindow::Control* live = window.Find(id);
    if (b == '\b') {
      ++i;
      std::string& t = live->text;
      if (live->selected) {
        // Backspace removes the selection alone.
        live->selected = false;
        if (t.empty()) continue;
        t.clear();
        DialogEvents::DeliverNotification(dialog, id, Notification::kChanged);
        continue;
      }
      if (t.empty()) continue;
      // The last character: a CR LF pair, or one CP932 character.
      size_t cut = 0, at = 0;
      while (at < t.size()) {
        cut = at;
        if (t[at] == '\r' && at + 1 < t.size() && t[at + 1] == '\n')
          at += 2;
        else
          at += static_cast<size_t>(text::Cp932CharLength(static_cast<unsigned char>(t[at])));
      }
      t.erase(cut);
      DialogEvents::DeliverNotification(dialog, id, Notification::kChanged);
      continue;
    }
    size_t n = std::min<size_t>(static_cast<size_t>(text::Cp932CharLength(b)), text.size() - i);
    std::string_view ch = text.substr(i, n);
    i += n;
    // The character replaces a selected text.
    if (live->selected) {
      live->text.clear();
      live->selected = false;
    }
    if (live->limit > 0 && live->text.size() + ch.size() > static_cast<size_t>(live->limit)) continue;
    live->text.append(ch);
    DialogEvents::DeliverNotification(dialog, id, Notification::kChanged);
  }
  if (i < text.size()) Error("typing into edit " + std::to_string(id) + " stopped: the dialog ended");
}

void HeadlessBackend::LineBreak(int id, HeadlessDialogWindow& window, Dialog& dialog) {
  HeadlessDialogWindow::Control* c = window.Find(id);
  if (c == nullptr) return;
  // A read-only edit that wants Enter takes the key and changes nothing.
  if (c->tmpl->style & kReadOnly) return;
  // The line break replaces a selected text.
  if (c->selected) {
    c->text.clear();
    c->selected = false;
  }
  if (c->limit > 0 && c->text.size() + 2 > static_cast<size_t>(c->limit)) return;
  c->text += "\r\n";
  DialogEvents::DeliverNotification(dialog, id, Notification::kChanged);
}

void HeadlessBackend::Advance(int milliseconds) {
  long long target = now_ + std::max(milliseconds, 0);
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > target) break;
    now_ = std::max(now_, next->due);
    next->due += next->interval;
    HeadlessDialogWindow* window = next->window;
    int id = next->id;
    // The tick may set, kill or replace timers, or open a nested modal
    // window that consumes further events: nothing is held across it.
    if (window->dialog_ != nullptr) DialogEvents::DeliverTimer(*window->dialog_, id);
  }
  now_ = std::max(now_, target);
}

void HeadlessBackend::SetTimer(HeadlessDialogWindow* window, int id, int milliseconds) {
  KillTimer(window, id);
  int interval = std::max(milliseconds, 1);
  timers_.push_back({window, id, interval, now_ + interval, timerOrder_++});
}

void HeadlessBackend::KillTimer(HeadlessDialogWindow* window, int id) {
  timers_.erase(
      std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; }),
      timers_.end());
}

int HeadlessBackend::ShowMessageBox(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) {
  size_t index = boxes_.size();
  MessageBoxRecord record;
  record.owner = owner != nullptr ? owner->Title() : std::string();
  record.caption = caption;
  record.text = text;
  record.buttons = buttons;
  boxes_.push_back(std::move(record));
  if (out_ != nullptr) Output("[" + OutputText(caption, true) + "] " + OutputText(text, true));

  Box box{std::string(caption)};
  stack_.push_back(&box);
  // In a scripted run a box that is not answered takes its default button,
  // and says so.
  auto answerByDefault = [&] {
    if (out_ != nullptr) Output("answered " + std::to_string(DefaultAnswer(buttons)));
    return DefaultAnswer(buttons);
  };
  int answer = 0;
  while (answer == 0) {
    if (events_.empty()) {
      if (out_ == nullptr) Error("the script ended while a message box was open");
      answer = answerByDefault();
      break;
    }
    Event& event = events_.front();
    int taking = line_;
    line_ = event.line;
    if (event.kind == Kind::kAnswer) {
      answer = event.value;
      events_.pop_front();
      if (!Fits(buttons, answer)) {
        Error("answer " + std::to_string(answer) + " is not a button of the message box");
        answer = answerByDefault();
      }
    } else if (event.kind == Kind::kWait) {
      // Time passes with the box open; timers of the windows below tick.
      int ms = event.value;
      events_.pop_front();
      Advance(ms);
    } else if (event.kind == Kind::kTitle) {
      events_.pop_front();
      Output("title: " + OutputText(text::WholeCharacters(box.Title()), true));
    } else if (event.kind == Kind::kDo) {
      std::function<void()> step = std::move(event.step);
      events_.pop_front();
      if (step) step();
    } else {
      // The event is meant for a window below the box, which a modal box
      // keeps from it: leave it queued and close the box with its default.
      if (out_ == nullptr)
        Error(std::string("a message box was open when the script gave a ") + KindName(event.kind) + " event");
      answer = answerByDefault();
    }
    line_ = taking;
  }
  stack_.erase(std::find(stack_.begin(), stack_.end(), &box));
  boxes_[index].answer = answer;
  boxes_[index].title = box.Title();
  return answer;
}

Window* HeadlessBackend::ActiveWindow() { return stack_.empty() ? nullptr : stack_.back(); }

HeadlessDialogWindow* HeadlessBackend::Top() {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    for (auto& w : windows_)
      if (w.get() == *it) return w.get();
  return nullptr;
}

HeadlessDialogWindow* HeadlessBackend::Find(int templateId) {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if ((*it)->Template().id == templateId) return it->get();
  return nullptr;
}

}  // namespace platform::dialog::headless
