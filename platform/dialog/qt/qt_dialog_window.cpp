#include "platform/dialog/qt/qt_dialog_window.h"

#include <algorithm>  // std::find
#include <functional>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/icons.h"
#include "platform/dialog/qt/menu_strip.h"
#include "platform/text/cp932.h"

namespace platform::dialog::qt {
namespace {

// The standard items of the system menu, in the order the dialog manager
// shows them for a dialog frame.
const char kRestoreText[] = "元のサイズに戻す(&R)";
const char kMoveText[] = "移動(&M)";
const char kMinimiseText[] = "最小化(&N)";
const char kCloseText[] = "閉じる(&C)\tAlt+F4";

bool IsEnterKey(const QKeyEvent& event) {
  return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
         (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

// The top-level widget. Enter and Escape reach the dialog as the dialog
// manager passes them on; the close box asks the dialog instead of closing.
class DialogWidget : public QDialog {
 public:
  DialogWidget(QtDialogWindow& window, QWidget* owner, Qt::WindowFlags flags)
      : QDialog(owner, flags), window_(window) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (IsEnterKey(*event)) {
      window_.OnEnter();
      return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      window_.OnEscape();
      return;
    }
    // Not QDialog's handling: it would press its own default button.
    QWidget::keyPressEvent(event);
  }

  // Tab and Shift+Tab, from whatever child: the window rules choose.
  bool focusNextPrevChild(bool next) override {
    window_.TakeMoveKey(next ? MoveKey::kTab : MoveKey::kBackTab);
    return true;
  }

  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    window_.OnCloseBox();
  }

  void reject() override { window_.OnEscape(); }

 private:
  QtDialogWindow& window_;
};

namespace {

// The client area: where the controls live. A right click that no control
// takes opens the system menu, since the caption bar belongs to the window
// manager.
class ClientWidget : public QWidget {
 public:
  ClientWidget(QWidget* parent, std::function<void(const QPoint&)> onContextMenu)
      : QWidget(parent), onContextMenu_(std::move(onContextMenu)) {}

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override { onContextMenu_(event->globalPos()); }

 private:
  std::function<void(const QPoint&)> onContextMenu_;
};

}  // namespace

// Watches the controls: every arrival of the focus is reported;
// Enter in a multi-line edit that does not want it goes to the dialog
// instead of into the text; Tab and the arrow keys on a button move the
// focus as the window rules decide.
class QtDialogWindow::KeyWatcher : public QObject {
 public:
  explicit KeyWatcher(QtDialogWindow& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    int index = window_.IndexOfWidget(widget);
    if (index < 0) return false;
    Control& control = window_.controls_[static_cast<std::size_t>(index)];
    if (event->type() == QEvent::FocusIn) {
      // Every arrival, whatever brought it: the core tells a gain from the
      // focus coming back.
      window_.OnControlFocused(control);
    } else if (event->type() == QEvent::KeyPress && control.text != nullptr &&
               IsEnterKey(*static_cast<QKeyEvent*>(event))) {
      // An edit that wants Enter keeps it, even a read-only one (which then
      // changes nothing); any other passes it to the dialog.
      if ((control.tmpl->style & kWantReturn) == 0) {
        window_.OnEnter();
        return true;
      }
      return control.text->isReadOnly();
    } else if (event->type() == QEvent::KeyPress && control.button != nullptr) {
      // A button keeps no arrow key for itself: one the rules do not take
      // does nothing.
      switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left: window_.TakeMoveKey(MoveKey::kLeft); return true;
        case Qt::Key_Right: window_.TakeMoveKey(MoveKey::kRight); return true;
        case Qt::Key_Up: window_.TakeMoveKey(MoveKey::kUp); return true;
        case Qt::Key_Down: window_.TakeMoveKey(MoveKey::kDown); return true;
        default: break;
      }
    }
    return false;
  }

 private:
  QtDialogWindow& window_;
};

QtDialogWindow::QtDialogWindow(Dialog& dialog, QWidget* owner) : dialog_(dialog), tmpl_(dialog.Template()) {
  unsigned style = tmpl_.style;
  Qt::WindowFlags flags = Qt::CustomizeWindowHint;
  flags |= (owner == nullptr && (style & kTaskBar) != 0) ? Qt::Window : Qt::Dialog;
  if ((style & kCaption) != 0) flags |= Qt::WindowTitleHint;
  if ((style & kSystemMenu) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if ((style & kMinimiseBox) != 0) flags |= Qt::WindowMinimizeButtonHint;
  widget_ = std::make_unique<DialogWidget>(*this, owner, flags);
  // Only the owner chain is blocked, so that a help viewer stays usable.
  widget_->setWindowModality(Qt::WindowModal);
  widget_->setFont(DialogFont(tmpl_.font));
  units_ = BaseUnitsOf(widget_->font());
  keyWatcher_ = std::make_unique<KeyWatcher>(*this);

  BuildMenus();
  client_ = new ClientWidget(widget_.get(), [this](const QPoint& at) { OpenSystemMenuAt(at); });
  client_->setObjectName(QStringLiteral("client"));
  Layout();
  BuildControls();
  SetTitle(TemplateText(tmpl_.caption));

  if ((style & kSystemMenu) != 0) {
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), widget_.get());
    QObject::connect(menuKey, &QShortcut::activated, [this] { OpenSystemMenu(); });
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), widget_.get());
    QObject::connect(closeKey, &QShortcut::activated, [this] { OnCloseBox(); });
  }
  if (strip_ != nullptr) {
    auto* barKey = new QShortcut(QKeySequence(Qt::Key_F10), widget_.get());
    QObject::connect(barKey, &QShortcut::activated, [this] { strip_->ToggleKeyboardMode(); });
  }
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), widget_.get());
  QObject::connect(helpKey, &QShortcut::activated, [this] { OnMenuCommand(kHelpCommand); });
}

QtDialogWindow::~QtDialogWindow() {
  Detach();
  // The controls point at the watcher; the widgets go first.
  widget_.reset();
}

void QtDialogWindow::BuildMenus() {
  bool hasSystemMenu = (tmpl_.style & kSystemMenu) != 0;
  if (tmpl_.menu == nullptr && !hasSystemMenu) return;
  std::vector<MenuStrip::Item> items;
  if (tmpl_.menu != nullptr)
    for (const MenuItem& item : tmpl_.menu->items) items.push_back({ToQt(TemplateText(item.text)), item.command});
  strip_ = new MenuStrip(
      widget_.get(), std::move(items), [this](int command) { OnMenuCommand(command); },
      [this](const QPoint& at) { OpenSystemMenuAt(at); });
  if (!hasSystemMenu) return;
  systemMenu_ = new QMenu(widget_.get());
  systemMenu_->setObjectName(QStringLiteral("system_menu"));
  if ((tmpl_.style & kMinimiseBox) != 0) {
    QAction* restore = systemMenu_->addAction(QString::fromUtf8(kRestoreText));
    QObject::connect(restore, &QAction::triggered, [this] { widget_->showNormal(); });
    QObject::connect(systemMenu_, &QMenu::aboutToShow,
                     [this, restore] { restore->setEnabled(widget_->isMinimized()); });
  }
  // Moving is the window manager's; the item is shown as the frame has it.
  systemMenu_->addAction(QString::fromUtf8(kMoveText))->setEnabled(false);
  if ((tmpl_.style & kMinimiseBox) != 0) {
    QAction* minimise = systemMenu_->addAction(QString::fromUtf8(kMinimiseText));
    QObject::connect(minimise, &QAction::triggered, [this] { widget_->showMinimized(); });
  }
  systemMenu_->addSeparator();
  QAction* close = systemMenu_->addAction(QString::fromUtf8(kCloseText));
  QObject::connect(close, &QAction::triggered, [this] { OnCloseBox(); });
}

void QtDialogWindow::Layout() {
  int width = DluToPixelsX(tmpl_.width, units_);
  int height = DluToPixelsY(tmpl_.height, units_);
  bool stripShown = strip_ != nullptr && (strip_->HasItems() || strip_->HasSystemButton());
  int top = stripShown ? strip_->sizeHint().height() : 0;
  if (strip_ != nullptr) {
    strip_->setGeometry(0, 0, width, top);
    strip_->setVisible(stripShown);
  }
  client_->setGeometry(0, top, width, height);
  widget_->setFixedSize(width, height + top);
}

void QtDialogWindow::BuildControls() {
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    controls_.emplace_back();
    Control& control = controls_.back();
    BuildControl(control, tmpl_.controls[i], static_cast<int>(i), client_, units_);
    WireControl(control);
  }
}

void QtDialogWindow::WireControl(Control& control) {
  Control* c = &control;
  if (control.button != nullptr) {
    QObject::connect(control.button, &QAbstractButton::clicked, [this, c] { OnClicked(*c); });
    control.button->installEventFilter(keyWatcher_.get());
  } else if (control.line != nullptr) {
    // Any change, the program's too, moves the limit's yardstick; only the
    // user's are reported from here (the dialog reports the program's).
    QObject::connect(control.line, &QLineEdit::textChanged, [c] { c->accepted = ReadControlText(*c); });
    QObject::connect(control.line, &QLineEdit::textEdited, [this, c] { OnLineEdited(*c); });
    control.line->installEventFilter(keyWatcher_.get());
  } else if (control.text != nullptr) {
    QObject::connect(control.text, &QTextEdit::textChanged, [this, c] { OnTextChanged(*c); });
    control.text->installEventFilter(keyWatcher_.get());
  }
}

// The dialog is attached from the window's making until Detach.
bool QtDialogWindow::Delivering() const { return !detached_; }

Control* QtDialogWindow::Find(int id) {
  if (id == kNoId) return nullptr;
  for (Control& control : controls_)
    if (control.tmpl->id == id) return &control;
  return nullptr;
}

const Control* QtDialogWindow::Find(int id) const { return const_cast<QtDialogWindow*>(this)->Find(id); }

int QtDialogWindow::IndexOfWidget(const QWidget* widget) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].widget == widget) return static_cast<int>(i);
  return -1;
}

// Reactions to the user.

void QtDialogWindow::OnClicked(Control& control) {
  if (control.button->isCheckable()) control.button->setChecked(!control.button->isChecked());
  Press(control);
}

void QtDialogWindow::Press(Control& control) {
  int id = control.tmpl->id;
  for (const CheckChange& change : Rules().ChecksOnClick(id)) SetCheckState(change.id, change.check);
  if (id != kNoId && Delivering()) DialogEvents::DeliverNotification(dialog_, id, Notification::kClicked);
}

WindowRules QtDialogWindow::Rules() const {
  return WindowRules(tmpl_, [this](std::size_t index) {
    const Control& control = controls_[index];
    ControlState state = ControlState::FromTemplate(*control.tmpl);
    state.enabled = control.widget->isEnabledTo(client_);
    state.visible = !control.widget->isHidden();
    state.check = CheckState(control.tmpl->id);
    return state;
  });
}

bool QtDialogWindow::TakeMoveKey(MoveKey key) {
  FocusMove move = Rules().Move(FocusedControl(), key);
  if (Control* target = Find(move.target)) {
    if (move.selectText)
      FocusControl(*target, key == MoveKey::kBackTab ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    else
      target->widget->setFocus(Qt::OtherFocusReason);
    if (move.click) Press(*target);
  }
  return move.taken;
}

void QtDialogWindow::OnLineEdited(Control& control) {
  control.accepted = ReadControlText(control);
  if (control.tmpl->id != kNoId && Delivering())
    DialogEvents::DeliverNotification(dialog_, control.tmpl->id, Notification::kChanged);
}

void QtDialogWindow::OnTextChanged(Control& control) {
  if (control.settingText) return;
  if (!AcceptsTyping(control, control.text->toPlainText())) {
    // The typing is taken back, as an edit refuses characters past its
    // limit; the caret stays as far from the end as it was.
    int typedLength = static_cast<int>(control.text->toPlainText().size());
    int fromEnd = typedLength - control.text->textCursor().position();
    WriteControlText(control, control.accepted);
    int length = static_cast<int>(control.text->toPlainText().size());
    QTextCursor cursor = control.text->textCursor();
    cursor.setPosition(qBound(0, length - fromEnd, length));
    control.text->setTextCursor(cursor);
    return;
  }
  control.accepted = ReadControlText(control);
  if (control.tmpl->id != kNoId && Delivering())
    DialogEvents::DeliverNotification(dialog_, control.tmpl->id, Notification::kChanged);
}

void QtDialogWindow::OnControlFocused(Control& control) {
  if (control.tmpl->id != kNoId && Delivering()) DialogEvents::DeliverFocus(dialog_, control.tmpl->id);
  ShowDefaultButton();
}

void QtDialogWindow::ShowDefaultButton() {
  if (!Delivering()) return;
  int shown = DialogEvents::DefaultButton(dialog_);
  for (Control& control : controls_)
    if (auto* button = qobject_cast<QPushButton*>(control.button)) button->setDefault(control.tmpl->id == shown);
}

void QtDialogWindow::OnEnter() {
  if (Delivering()) DialogEvents::DeliverEnter(dialog_);
}

void QtDialogWindow::OnEscape() {
  if (Delivering()) DialogEvents::DeliverEscape(dialog_);
}

void QtDialogWindow::OnCloseBox() {
  if (Delivering()) DialogEvents::DeliverSysCommand(dialog_, kCloseCommand);
}

void QtDialogWindow::OnMenuCommand(int command) {
  if (Delivering()) DialogEvents::DeliverMenuCommand(dialog_, command);
}

void QtDialogWindow::OnSysCommand(int command) {
  if (Delivering()) DialogEvents::DeliverSysCommand(dialog_, command);
}

void QtDialogWindow::OnTimer(int id) {
  if (Delivering()) DialogEvents::DeliverTimer(dialog_, id);
}

void QtDialogWindow::OpenSystemMenu() { OpenSystemMenuAt(client_->mapToGlobal(QPoint(0, 0))); }

void QtDialogWindow::OpenSystemMenuAt(const QPoint& globalPos) {
  if (systemMenu_ == nullptr || !Delivering()) return;
  systemMenu_->popup(globalPos);
}

// Window.

void QtDialogWindow::SetTitle(std::string_view cp932) {
  title_ = std::string(cp932);
  widget_->setWindowTitle(ToQtTitle(cp932));
}

// DialogWindow.

std::string QtDialogWindow::ControlText(int id) const {
  const Control* control = Find(id);
  return control != nullptr ? ReadControlText(*control) : std::string();
}

void QtDialogWindow::SetControlText(int id, std::string_view cp932) {
  if (Control* control = Find(id)) WriteControlText(*control, cp932);
}

int QtDialogWindow::CheckState(int id) const {
  const Control* control = Find(id);
  return control != nullptr && control->button != nullptr && control->button->isCheckable() &&
                 control->button->isChecked()
             ? 1
             : 0;
}

void QtDialogWindow::SetCheckState(int id, int state) {
  Control* control = Find(id);
  if (control == nullptr || control->button == nullptr || !control->button->isCheckable()) return;
  control->button->setChecked(state != 0);
}

bool QtDialogWindow::IsControlEnabled(int id) const {
  const Control* control = Find(id);
  return control != nullptr && control->widget->isEnabledTo(client_);
}

void QtDialogWindow::EnableControl(int id, bool enabled) {
  if (Control* control = Find(id)) control->widget->setEnabled(enabled);
}

bool QtDialogWindow::IsControlVisible(int id) const {
  const Control* control = Find(id);
  return control != nullptr && !control->widget->isHidden();
}

void QtDialogWindow::ShowControl(int id, bool visible) {
  if (Control* control = Find(id)) control->widget->setVisible(visible);
}

int QtDialogWindow::FocusedControl() const {
  // The window's own record of its focus child: it holds also while the
  // window is not the active one (or not yet shown).
  QWidget* focus = widget_->focusWidget();
  for (const QWidget* w = focus; w != nullptr && w != client_; w = w->parentWidget()) {
    int index = IndexOfWidget(w);
    if (index >= 0) return controls_[static_cast<std::size_t>(index)].tmpl->id;
  }
  return kNoId;
}

void QtDialogWindow::FocusControl(Control& control, Qt::FocusReason reason) {
  control.widget->setFocus(reason);
  if (control.line != nullptr) control.line->selectAll();
  if (control.text != nullptr) control.text->selectAll();
}

void QtDialogWindow::SetFocus(int id) {
  if (Control* control = Find(id)) control->widget->setFocus(Qt::OtherFocusReason);
}

void QtDialogWindow::FocusNextTabStop(bool backwards) { TakeMoveKey(backwards ? MoveKey::kBackTab : MoveKey::kTab); }

void QtDialogWindow::FocusFirstTabStop() {
  if (Control* control = Find(Rules().FirstTabStop())) FocusControl(*control, Qt::TabFocusReason);
}

void QtDialogWindow::SetTextLimit(int id, int limit) {
  Control* control = Find(id);
  if (control != nullptr && (control->line != nullptr || control->text != nullptr))
    control->limit = limit > 0 ? limit : 0;
}

void QtDialogWindow::AppendSystemMenuSeparator() {
  if (systemMenu_ != nullptr) systemMenu_->addSeparator();
}

void QtDialogWindow::AppendSystemMenuItem(int command, std::string_view cp932) {
  if (systemMenu_ == nullptr) return;
  QAction* action = systemMenu_->addAction(ToQt(cp932));
  action->setData(command);
  QObject::connect(action, &QAction::triggered, [this, command] { OnSysCommand(command); });
  // The program's own entries are what the button is for.
  if (!strip_->HasSystemButton()) {
    strip_->SetSystemButton(true, SmallIcon());
    Layout();
  }
}

QToolButton* QtDialogWindow::SystemMenuButton() const {
  return strip_ != nullptr && strip_->HasSystemButton() ? strip_->SystemButton() : nullptr;
}

QIcon QtDialogWindow::SmallIcon() const { return IconFor(smallIcon_ != 0 ? smallIcon_ : bigIcon_); }

void QtDialogWindow::SetIcon(int icon, bool big) {
  (big ? bigIcon_ : smallIcon_) = icon;
  // Qt keeps one icon with its sizes: the big one where there is one.
  widget_->setWindowIcon(IconFor(bigIcon_ != 0 ? bigIcon_ : smallIcon_));
  if (strip_ != nullptr && strip_->HasSystemButton()) strip_->SetSystemButton(true, SmallIcon());
}

void QtDialogWindow::SetTimer(int id, int milliseconds) {
  if (detached_) return;
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(widget_.get());
    QObject::connect(timer, &QTimer::timeout, [this, id] { OnTimer(id); });
  }
  timer->start(milliseconds > 0 ? milliseconds : 0);
}

void QtDialogWindow::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  delete it->second;
  timers_.erase(it);
}

void QtDialogWindow::EndModal(int) {
  if (running_) loop_.quit();
}

bool QtDialogWindow::IsMinimised() const { return widget_->isMinimized(); }

QWidget* QtDialogWindow::Widget() const { return widget_.get(); }

// The modal run.

void QtDialogWindow::ShowAndActivate() {
  QSize size = widget_->size();
  QPoint centre;
  QWidget* owner = widget_->parentWidget();
  if ((tmpl_.style & kCentreMouse) != 0)
    centre = QCursor::pos();
  else if (owner != nullptr)
    centre = owner->frameGeometry().center();
  else if (QScreen* screen = QGuiApplication::primaryScreen())
    centre = screen->availableGeometry().center();
  QPoint topLeft(centre.x() - size.width() / 2, centre.y() - size.height() / 2);
  if (QScreen* screen = QGuiApplication::screenAt(centre)) {
    QRect area = screen->availableGeometry();
    topLeft.setX(qBound(area.left(), topLeft.x(), qMax(area.left(), area.right() - size.width())));
    topLeft.setY(qBound(area.top(), topLeft.y(), qMax(area.top(), area.bottom() - size.height())));
  }
  widget_->move(topLeft);
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
}

void QtDialogWindow::RunUntilEnd() {
  if (DialogEvents::EndRequested(dialog_)) return;
  running_ = true;
  loop_.exec();
  running_ = false;
}

void QtDialogWindow::Detach() {
  detached_ = true;
  for (auto& [id, timer] : timers_) {
    timer->stop();
    delete timer;
  }
  timers_.clear();
  if (systemMenu_ != nullptr) systemMenu_->close();
  widget_->hide();
}

QWidget* QtDialogWindow::ControlWidget(int id) const {
  const Control* control = Find(id);
  return control != nullptr ? control->widget : nullptr;
}

QWidget* QtDialogWindow::ControlWidgetAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) return nullptr;
  return controls_[static_cast<std::size_t>(index)].widget;
}

QWidget* QtDialogWindow::Client() const { return client_; }

}  // namespace platform::dialog::qt
