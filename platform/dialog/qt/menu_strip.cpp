#include "platform/dialog/qt/menu_strip.h"

#include <algorithm>  // std::max
#include <utility>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QToolButton>

namespace platform::dialog::qt {
namespace {

constexpr int kIconSize = 16;
constexpr int kButtonSize = kIconSize + 4;

}  // namespace

QIcon PlainWindowIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QRect frame(1, 2, size - 3, size - 4);
  painter.fillRect(frame, Qt::white);
  painter.fillRect(frame.x(), frame.y(), frame.width(), std::max(2, size / 4), QColor(0x30, 0x60, 0xc0));
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawRect(frame);
  painter.end();
  return QIcon(pixmap);
}

MenuStrip::MenuStrip(QWidget* parent, std::vector<Item> items, std::function<void(int)> onCommand,
                     std::function<void(const QPoint&)> onSystemMenu)
    : QWidget(parent),
      items_(std::move(items)),
      onCommand_(std::move(onCommand)),
      onSystemMenu_(std::move(onSystemMenu)) {
  setObjectName(QStringLiteral("menu_strip"));
  setMouseTracking(true);
  // Not a tab stop: the strip takes the focus only while it is used by keys.
  setFocusPolicy(Qt::NoFocus);
  // Alt is watched wherever the window's focus is.
  qApp->installEventFilter(this);
}

MenuStrip::~MenuStrip() { qApp->removeEventFilter(this); }

void MenuStrip::SetSystemButton(bool shown, const QIcon& icon) {
  if (systemButton_ == nullptr) {
    if (!shown) return;
    systemButton_ = new QToolButton(this);
    systemButton_->setObjectName(QStringLiteral("system_menu_button"));
    systemButton_->setAutoRaise(true);
    systemButton_->setFocusPolicy(Qt::NoFocus);
    systemButton_->setIconSize(QSize(kIconSize, kIconSize));
    QObject::connect(systemButton_, &QToolButton::clicked, this,
                     [this] { onSystemMenu_(systemButton_->mapToGlobal(QPoint(0, systemButton_->height()))); });
  }
  systemButton_->setIcon(icon.isNull() ? PlainWindowIcon(kIconSize) : icon);
  systemButton_->setGeometry(1, std::max(0, (StripHeight() - kButtonSize) / 2), kButtonSize, kButtonSize);
  systemButton_->setVisible(shown);
  update();
}

bool MenuStrip::HasSystemButton() const { return systemButton_ != nullptr && !systemButton_->isHidden(); }

// Keyboard mode.

void MenuStrip::ToggleKeyboardMode() {
  if (keyboard_)
    LeaveKeyboardMode(true);
  else
    EnterKeyboardMode();
}

void MenuStrip::EnterKeyboardMode() {
  if (items_.empty() || keyboard_ || !isVisible()) return;
  focusBefore_ = window()->focusWidget();
  keyboard_ = true;
  highlighted_ = 0;
  setFocus(Qt::MenuBarFocusReason);
  update();
}

void MenuStrip::LeaveKeyboardMode(bool restoreFocus) {
  if (!keyboard_) return;
  keyboard_ = false;
  highlighted_ = -1;
  QPointer<QWidget> before = focusBefore_;
  focusBefore_ = nullptr;
  // Also while the window is not the active one: its focus is then where
  // it will be when the window is activated again.
  if (restoreFocus && before != nullptr && window()->focusWidget() == this) before->setFocus(Qt::MenuBarFocusReason);
  update();
}

void MenuStrip::Run(int index) {
  int command = items_[static_cast<std::size_t>(index)].command;
  LeaveKeyboardMode(true);
  pressed_ = -1;
  highlighted_ = -1;
  update();
  // Last: the command may run a nested modal dialog.
  onCommand_(command);
}

bool MenuStrip::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  // A click, or the window losing the keyboard (Alt+Tab to another window),
  // makes Alt no menu key.
  if (type == QEvent::MouseButtonPress || (type == QEvent::WindowDeactivate && watched == window())) {
    altArmed_ = false;
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != window() || !window()->isActiveWindow()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (type == QEvent::KeyPress) {
    // Alt counts only when nothing else is pressed before it is released.
    if (!key->isAutoRepeat()) altArmed_ = key->key() == Qt::Key_Alt;
    return false;
  }
  if (key->key() != Qt::Key_Alt || key->isAutoRepeat()) return false;
  bool armed = altArmed_;
  altArmed_ = false;
  if (!armed || (key->modifiers() & ~Qt::AltModifier) != Qt::NoModifier || items_.empty()) return false;
  ToggleKeyboardMode();
  return true;
}

void MenuStrip::keyPressEvent(QKeyEvent* event) {
  if (!keyboard_ || highlighted_ < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  int count = ItemCount();
  switch (event->key()) {
    case Qt::Key_Left:
      highlighted_ = (highlighted_ + count - 1) % count;
      update();
      break;
    case Qt::Key_Right:
      highlighted_ = (highlighted_ + 1) % count;
      update();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Run(highlighted_); break;
    case Qt::Key_Escape: LeaveKeyboardMode(true); break;
    default:
      // While the bar has the keys, no other key reaches the dialog.
      break;
  }
  event->accept();
}

void MenuStrip::focusOutEvent(QFocusEvent* event) {
  // A popup only borrows the focus. Another window taking it ends the
  // keyboard use, and the focus is to be back on its control when this
  // window is activated again; a click or Tab elsewhere ends it there.
  if (event->reason() == Qt::ActiveWindowFocusReason)
    LeaveKeyboardMode(true);
  else if (event->reason() != Qt::PopupFocusReason)
    LeaveKeyboardMode(false);
  QWidget::focusOutEvent(event);
}

// Mouse.

int MenuStrip::ItemAtPos(const QPoint& pos) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (ItemRect(i).contains(pos)) return i;
  return -1;
}

void MenuStrip::mouseMoveEvent(QMouseEvent* event) {
  if (keyboard_) return;
  int at = ItemAtPos(event->position().toPoint());
  if (at != highlighted_) {
    highlighted_ = at;
    update();
  }
}

void MenuStrip::leaveEvent(QEvent*) {
  if (keyboard_ || pressed_ >= 0) return;
  highlighted_ = -1;
  update();
}

void MenuStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = ItemAtPos(event->position().toPoint());
  if (pressed_ < 0) LeaveKeyboardMode(true);
  highlighted_ = pressed_;
  update();
}

void MenuStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int pressed = pressed_;
  pressed_ = -1;
  if (pressed >= 0 && ItemAtPos(event->position().toPoint()) == pressed) {
    Run(pressed);
    return;
  }
  update();
}

void MenuStrip::contextMenuEvent(QContextMenuEvent* event) { onSystemMenu_(event->globalPos()); }

// Geometry and drawing.

int MenuStrip::ItemsLeft() const { return HasSystemButton() ? kButtonSize + 4 : 0; }

QSize MenuStrip::ItemSize(int index) const {
  QFontMetrics metrics = fontMetrics();
  int padding = metrics.averageCharWidth();
  int width = metrics.horizontalAdvance(ItemAt(index).text) + 2 * padding;
  return QSize(width, StripHeight());
}

QRect MenuStrip::ItemRect(int index) const {
  int x = ItemsLeft();
  for (int i = 0; i < index; ++i) x += ItemSize(i).width();
  return QRect(QPoint(x, 0), ItemSize(index));
}

int MenuStrip::StripHeight() const { return std::max(fontMetrics().height() + 4, kButtonSize + 1); }

QSize MenuStrip::sizeHint() const {
  int width = ItemsLeft();
  for (int i = 0; i < ItemCount(); ++i) width += ItemSize(i).width();
  return QSize(width, StripHeight());
}

void MenuStrip::InitItemOption(QStyleOptionMenuItem& option, int index) const {
  option.initFrom(this);
  option.state = QStyle::State_None;
  if (isEnabled()) option.state |= QStyle::State_Enabled;
  if (isActiveWindow()) option.state |= QStyle::State_Active;
  // The highlight is drawn as the style draws an opened menu title, so that
  // it shows in every style.
  if (index >= 0 && index == highlighted_) option.state |= QStyle::State_Selected | QStyle::State_Sunken;
  option.menuRect = rect();
  option.menuItemType = QStyleOptionMenuItem::Normal;
  option.checkType = QStyleOptionMenuItem::NotCheckable;
  if (index >= 0) {
    option.text = ItemAt(index).text;
    option.rect = ItemRect(index);
  } else {
    option.rect = rect();
  }
}

void MenuStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionMenuItem empty;
  InitItemOption(empty, -1);
  style()->drawControl(QStyle::CE_MenuBarEmptyArea, &empty, &painter, this);
  for (int i = 0; i < ItemCount(); ++i) {
    QStyleOptionMenuItem option;
    InitItemOption(option, i);
    style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, this);
  }
}

}  // namespace platform::dialog::qt
