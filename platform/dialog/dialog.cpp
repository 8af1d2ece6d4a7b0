#include "platform/dialog/dialog.h"

#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::abort
#include <optional>
#include <set>
#include <vector>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"
#include "platform/dialog/data_exchange.h"
#include "platform/dialog/window.h"
#include "platform/text/cp932.h"

namespace platform::dialog {

Dialog::Dialog(const DialogTemplate& tmpl, Dialog* parent) : tmpl_(tmpl), parent_(parent) {}

Dialog::~Dialog() = default;

int Dialog::DoModal() {
  if (window_ != nullptr) return -1;
  endRequested_ = false;
  result_ = -1;
  dialog::Window* owner = nullptr;
  if (parent_ != nullptr && parent_->window_ != nullptr)
    owner = parent_->window_;
  else
    owner = ActiveWindow();
  return CurrentBackend().RunModal(*this, owner);
}

void Dialog::EndDialog(int result) {
  endRequested_ = true;
  result_ = result;
  if (window_ != nullptr) window_->EndModal(result);
}

void Dialog::Bind(int id, Notification notification, std::function<void()> reaction) {
  reactions_[{id, notification}] = std::move(reaction);
}

void Dialog::BindRange(int first, int last, Notification notification, std::function<void(int id)> reaction) {
  for (int id = first; id <= last; ++id) Bind(id, notification, [reaction, id] { reaction(id); });
}

void Dialog::BindKeys(const std::vector<KeyRow>& keys, std::function<void(char byte)> reaction) {
  std::set<int> bound;
  for (const KeyRow& key : keys) {
    std::optional<std::string> byte = text::ToCp932Strict(key.passes);
    const ControlTemplate* button = FindControl(tmpl_, key.id);
    const char* fault = nullptr;
    if (!byte || byte->size() != 1)
      fault = "does not pass one CP932 byte";
    else if (button == nullptr || button->kind != ControlKind::kPushButton)
      fault = "is not a push button of the dialog";
    else if (!bound.insert(key.id).second)
      fault = "comes twice in the key table";
    if (fault != nullptr) {
      std::fprintf(stderr, "key %d of dialog %d %s\n", key.id, tmpl_.id, fault);
      std::abort();
    }
    char b = (*byte)[0];
    Bind(key.id, Notification::kClicked, [reaction, b] { reaction(b); });
  }
}

std::string Dialog::Text(int id) const { return window_ != nullptr ? window_->ControlText(id) : std::string(); }

void Dialog::SetText(int id, std::string_view cp932) {
  if (window_ == nullptr) return;
  window_->SetControlText(id, cp932);
  // An edit reports every change of its text, the program's too, as the
  // reactions of the programs expect.
  const ControlTemplate* c = FindControl(tmpl_, id);
  if (c != nullptr && c->kind == ControlKind::kEdit) Notify(id, Notification::kChanged);
}

int Dialog::Check(int id) const { return window_ != nullptr ? window_->CheckState(id) : 0; }

void Dialog::SetCheck(int id, int state) {
  if (window_ != nullptr) window_->SetCheckState(id, state != 0 ? 1 : 0);
}

void Dialog::CheckRadio(int id) {
  for (int member : RadioGroupOf(tmpl_, id)) SetCheck(member, member == id ? 1 : 0);
}

int Dialog::CheckedRadio(int id) const {
  for (int member : RadioGroupOf(tmpl_, id))
    if (Check(member) != 0) return member;
  return kNoId;
}

bool Dialog::IsEnabled(int id) const { return window_ != nullptr && window_->IsControlEnabled(id); }

void Dialog::Enable(int id, bool enabled) {
  if (window_ != nullptr) window_->EnableControl(id, enabled);
}

bool Dialog::IsVisible(int id) const { return window_ != nullptr && window_->IsControlVisible(id); }

void Dialog::ShowControl(int id, bool visible) {
  if (window_ != nullptr) window_->ShowControl(id, visible);
}

int Dialog::Focused() const { return window_ != nullptr ? window_->FocusedControl() : kNoId; }

void Dialog::SetFocusTo(int id) {
  if (window_ != nullptr) window_->SetFocus(id);
}

void Dialog::NextTabStop(bool backwards) {
  if (window_ != nullptr) window_->FocusNextTabStop(backwards);
}

void Dialog::SetTextLimit(int id, int limit) {
  if (window_ != nullptr) window_->SetTextLimit(id, limit);
}

std::string Dialog::Title() const { return window_ != nullptr ? window_->Title() : std::string(); }

void Dialog::SetTitle(std::string_view cp932) {
  if (window_ != nullptr) window_->SetTitle(cp932);
}

void Dialog::AppendSystemMenuSeparator() {
  if (window_ != nullptr) window_->AppendSystemMenuSeparator();
}

void Dialog::AppendSystemMenuItem(int command, std::string_view cp932) {
  if (window_ != nullptr) window_->AppendSystemMenuItem(command, cp932);
}

void Dialog::SetIcon(int icon, bool big) {
  if (window_ != nullptr) window_->SetIcon(icon, big);
}

void Dialog::SetTimer(int id, int milliseconds) {
  if (window_ != nullptr) window_->SetTimer(id, milliseconds);
}

void Dialog::KillTimer(int id) {
  if (window_ != nullptr) window_->KillTimer(id);
}

bool Dialog::IsMinimised() const { return window_ != nullptr && window_->IsMinimised(); }

int Dialog::MessageBox(std::string_view text, std::string_view caption, Buttons buttons) {
  dialog::Window* owner = window_ != nullptr ? window_ : ActiveWindow();
  return MessageBoxFor(owner, text, caption, buttons);
}

void Dialog::ShowMembers() {
  if (window_ == nullptr) return;
  DataExchange dx(*this, false);
  DoDataExchange(dx);
}

bool Dialog::ReadBackMembers() {
  // Without controls a read-back would empty every member.
  if (window_ == nullptr) return false;
  DataExchange dx(*this, true);
  DoDataExchange(dx);
  return !dx.Failed();
}

void Dialog::Notify(int id, Notification notification) {
  auto it = reactions_.find({id, notification});
  if (it != reactions_.end() && it->second) {
    // A copy, so that a reaction may rebind itself safely.
    std::function<void()> reaction = it->second;
    reaction();
    return;
  }
  if (notification == Notification::kClicked) Command(id);
  if (notification == Notification::kCommand) MenuCommand(id);
}

void Dialog::MenuCommand(int command) {
  auto it = reactions_.find({command, Notification::kCommand});
  if (it != reactions_.end() && it->second) {
    std::function<void()> reaction = it->second;
    reaction();
    return;
  }
  if (App::Current() != nullptr) App::Current()->OnCommand(command);
}

bool Dialog::OnInitDialog() {
  ShowMembers();
  return true;
}

void Dialog::OnShowWindow(bool) {}

void Dialog::OnTimer(int) {}

void Dialog::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kCloseCommand) Notify(kIdCancel, Notification::kClicked);
}

void Dialog::OnDestroy() {}

void Dialog::OnOK() {
  if (ReadBackMembers()) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::Command(int id) {
  if (id == kIdOk)
    OnOK();
  else if (id == kIdCancel)
    OnCancel();
}

// What backends deliver.

void DialogEvents::AttachWindow(Dialog& dialog, DialogWindow* window) {
  dialog.window_ = window;
  // A new run starts with no control having had the focus.
  dialog.lastFocus_ = kNoId;
}

bool DialogEvents::DeliverInit(Dialog& dialog) { return dialog.OnInitDialog(); }

void DialogEvents::DeliverShow(Dialog& dialog, bool shown) { dialog.OnShowWindow(shown); }

void DialogEvents::DeliverNotification(Dialog& dialog, int id, Notification notification) {
  dialog.Notify(id, notification);
}

void DialogEvents::DeliverFocus(Dialog& dialog, int id) {
  // The focus given back to the control that had it (a modal window or a
  // menu closing, the window activated again) is no gain: a reaction that
  // empties a field when its edit gains the focus must not run for it.
  if (id == kNoId || id == dialog.lastFocus_ || FindControl(dialog.tmpl_, id) == nullptr) return;
  dialog.lastFocus_ = id;
  dialog.Notify(id, Notification::kSetFocus);
}

int DialogEvents::DefaultButton(const Dialog& dialog) {
  int focused = dialog.Focused();
  const ControlTemplate* c = FindControl(dialog.tmpl_, focused);
  if (c != nullptr && c->kind == ControlKind::kPushButton) return focused;
  int def = DefaultButtonOf(dialog.tmpl_);
  const ControlTemplate* d = FindControl(dialog.tmpl_, def);
  return d != nullptr && (d->style & kDefault) != 0 ? def : kNoId;
}

void DialogEvents::DeliverEnter(Dialog& dialog) {
  int button = DefaultButton(dialog);
  // Without a default button, Enter is the OK action.
  if (button == kNoId) button = kIdOk;
  // A default button that cannot be pressed is not pressed by Enter either.
  if (FindControl(dialog.tmpl_, button) != nullptr && (!dialog.IsEnabled(button) || !dialog.IsVisible(button))) return;
  dialog.Notify(button, Notification::kClicked);
}

void DialogEvents::DeliverEscape(Dialog& dialog) { dialog.Notify(kIdCancel, Notification::kClicked); }

void DialogEvents::DeliverTimer(Dialog& dialog, int id) {
  // A dialog that has asked to end gets no further ticks, even where the
  // backend has several due at once or a Wait spans many intervals.
  if (!dialog.endRequested_) dialog.OnTimer(id);
}

void DialogEvents::DeliverSysCommand(Dialog& dialog, int command) { dialog.OnSysCommand(command); }

void DialogEvents::DeliverMenuCommand(Dialog& dialog, int command) { dialog.MenuCommand(command); }

void DialogEvents::DeliverDestroy(Dialog& dialog) { dialog.OnDestroy(); }

bool DialogEvents::EndRequested(const Dialog& dialog) { return dialog.endRequested_; }

int DialogEvents::Result(const Dialog& dialog) { return dialog.result_; }

}  // namespace platform::dialog
