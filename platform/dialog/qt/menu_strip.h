// The strip along the top of a dialog window: the menu bar's commands (no
// pull-downs) and, at its left, the button of the system menu, which shows
// the window's small icon. The window manager owns the caption bar and its
// menu, so this button is where the program's own system-menu entries are
// reached. Without commands the strip is only as high as that button.
//
// The commands answer the mouse, and the keyboard as a menu bar does: Alt
// (pressed and released alone) or F10 highlights the first command, Left
// and Right move the highlight round the bar, Enter or Space runs the
// command and Escape leaves the bar; either way the focus first goes back
// to the control that had it. The strip knows nothing about dialogs: it
// reports a command or a request for the system menu to its owner.
#pragma once

#include <functional>
#include <vector>

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>

class QStyleOptionMenuItem;
class QToolButton;

namespace platform::dialog::qt {

class MenuStrip : public QWidget {
 public:
  struct Item {
    QString text;
    int command = 0;
  };

  // `onCommand` runs a command; `onSystemMenu` opens the system menu with
  // its top-left corner at a global position.
  MenuStrip(QWidget* parent, std::vector<Item> items, std::function<void(int command)> onCommand,
            std::function<void(const QPoint& at)> onSystemMenu);
  ~MenuStrip() override;

  // Shows or hides the system menu's button, with the icon it shows.
  void SetSystemButton(bool shown, const QIcon& icon);
  QToolButton* SystemButton() const { return systemButton_; }
  bool HasSystemButton() const;
  bool HasItems() const { return !items_.empty(); }

  // Keyboard use of the bar.
  void ToggleKeyboardMode();
  void EnterKeyboardMode();
  // Leaves the bar; the focus goes back where it was when `restoreFocus`.
  void LeaveKeyboardMode(bool restoreFocus);
  bool InKeyboardMode() const { return keyboard_; }
  // The highlighted command's index, or -1.
  int Highlighted() const { return highlighted_; }

  int ItemCount() const { return static_cast<int>(items_.size()); }
  const Item& ItemAt(int index) const { return items_[static_cast<std::size_t>(index)]; }
  QRect ItemRect(int index) const;

  QSize sizeHint() const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int ItemAtPos(const QPoint& pos) const;
  int ItemsLeft() const;
  int StripHeight() const;
  QSize ItemSize(int index) const;
  void InitItemOption(QStyleOptionMenuItem& option, int index) const;
  void Run(int index);

  std::vector<Item> items_;
  std::function<void(int)> onCommand_;
  std::function<void(const QPoint&)> onSystemMenu_;
  QToolButton* systemButton_ = nullptr;
  QPointer<QWidget> focusBefore_;
  int highlighted_ = -1;
  int pressed_ = -1;
  bool keyboard_ = false;
  bool altArmed_ = false;
};

// The icon a window shows where its program registered none: a plain
// window, drawn at `size` pixels.
QIcon PlainWindowIcon(int size);

}  // namespace platform::dialog::qt
