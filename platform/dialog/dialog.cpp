#include "platform/dialog/dialog.h"

#include <vector>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"
#include "platform/dialog/data_exchange.h"
#include "platform/dialog/window.h"

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

std::string Dialog::Text(int id) const { return window_ != nullptr ? window_->ControlText(id) : std::string(); }

void Dialog::SetText(int id, std::string_view cp932) {
  if (window_ == nullptr) return;
  window_->SetControlText(id, cp932);
  // An edit reports every change of its text, the program's too, as the
  // reactions of the programs expect.
  const ControlTemplate* c = FindControl(tmpl_, id);
  if (c != nullptr && c->kind == ControlKind::kEdit) DeliverNotification(id, Notification::kChanged);
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

void Dialog::Show(int id, bool visible) {
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

bool Dialog::UpdateData(bool save) {
  // Without controls a read-back would empty every member.
  if (window_ == nullptr) return false;
  DataExchange dx(*this, save);
  DoDataExchange(dx);
  return !dx.Failed();
}

void Dialog::AttachWindow(DialogWindow* window) { window_ = window; }

bool Dialog::DeliverInit() { return OnInitDialog(); }

void Dialog::DeliverShow(bool shown) { OnShowWindow(shown); }

void Dialog::DeliverNotification(int id, Notification notification) {
  auto it = reactions_.find({id, notification});
  if (it != reactions_.end() && it->second) {
    // A copy, so that a reaction may rebind itself safely.
    std::function<void()> reaction = it->second;
    reaction();
    return;
  }
  if (notification == Notification::kClicked) Command(id);
  if (notification == Notification::kCommand) DeliverMenuCommand(id);
}

void Dialog::DeliverEnter() {
  int focused = Focused();
  const ControlTemplate* c = FindControl(tmpl_, focused);
  if (c != nullptr && c->kind == ControlKind::kPushButton) {
    DeliverNotification(focused, Notification::kClicked);
    return;
  }
  int def = DefaultButtonOf(tmpl_);
  // A default button that cannot be pressed is not pressed by Enter either.
  if (FindControl(tmpl_, def) != nullptr && (!IsEnabled(def) || !IsVisible(def))) return;
  DeliverNotification(def, Notification::kClicked);
}

void Dialog::DeliverEscape() { DeliverNotification(kIdCancel, Notification::kClicked); }

void Dialog::DeliverTimer(int id) {
  // A dialog that has asked to end gets no further ticks, even where the
  // backend has several due at once or a Wait spans many intervals.
  if (!endRequested_) OnTimer(id);
}

void Dialog::DeliverSysCommand(int command) { OnSysCommand(command); }

void Dialog::DeliverMenuCommand(int command) {
  auto it = reactions_.find({command, Notification::kCommand});
  if (it != reactions_.end() && it->second) {
    std::function<void()> reaction = it->second;
    reaction();
    return;
  }
  if (App::Current() != nullptr) App::Current()->OnCommand(command);
}

bool Dialog::DeliverPaintMinimised(MinimisedPainter& painter) { return OnPaintMinimised(painter); }

int Dialog::DeliverQueryDragIcon() { return OnQueryDragIcon(); }

void Dialog::DeliverDestroy() { OnDestroy(); }

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnShowWindow(bool) {}

void Dialog::OnTimer(int) {}

void Dialog::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kCloseCommand) DeliverNotification(kIdCancel, Notification::kClicked);
}

bool Dialog::OnPaintMinimised(MinimisedPainter&) { return false; }

int Dialog::OnQueryDragIcon() { return 0; }

void Dialog::OnDestroy() {}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::Command(int id) {
  if (id == kIdOk)
    OnOK();
  else if (id == kIdCancel)
    OnCancel();
}

}  // namespace platform::dialog
