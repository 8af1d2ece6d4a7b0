// The window of one running dialog on Qt: a QDialog holding a widget per
// template control, placed in dialog units of the dialog font, with the menu
// strip (menu bar and system-menu button, menu_strip.h), the system menu
// (from that button, a right click on the background, or Alt+Space where
// the window manager leaves that key) and the dialog's timers. It turns the user's actions into
// the dialog's Deliver* calls and does the control operations the dialog
// asks for. It does not run the modal loop's bookkeeping (qt_backend.h).
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <QEventLoop>
#include <QPointer>

#include "platform/dialog/dialog.h"
#include "platform/dialog/qt/controls.h"
#include "platform/dialog/qt/dialog_units.h"
#include "platform/dialog/qt/qt_window.h"
#include "platform/dialog/window.h"
#include "platform/dialog/window_rules.h"

class QDialog;
class QMenu;
class QTimer;
class QToolButton;

namespace platform::dialog::qt {

class DialogWidget;
class MenuStrip;

class QtDialogWindow final : public DialogWindow, public QtWindow {
 public:
  // Builds the hidden window for `dialog`'s template, owned by `owner`
  // (nullptr: none).
  QtDialogWindow(Dialog& dialog, QWidget* owner);
  ~QtDialogWindow() override;
  QtDialogWindow(const QtDialogWindow&) = delete;
  QtDialogWindow& operator=(const QtDialogWindow&) = delete;

  // Window.
  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override;

  // DialogWindow.
  std::string ControlText(int id) const override;
  void SetControlText(int id, std::string_view cp932) override;
  int CheckState(int id) const override;
  void SetCheckState(int id, int state) override;
  bool IsControlEnabled(int id) const override;
  void EnableControl(int id, bool enabled) override;
  bool IsControlVisible(int id) const override;
  void ShowControl(int id, bool visible) override;
  int FocusedControl() const override;
  void SetFocus(int id) override;
  void FocusNextTabStop(bool backwards) override;
  void SetTextLimit(int id, int limit) override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(int command, std::string_view cp932) override;
  void SetIcon(int icon, bool big) override;
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  void EndModal(int result) override;
  bool IsMinimised() const override;

  // QtWindow.
  QWidget* Widget() const override;

  // For the backend: the steps of a modal run.
  // Gives the focus to the first enabled, visible tab stop.
  void FocusFirstTabStop();
  // Places the window (over its owner, or on the mouse), shows and
  // activates it.
  void ShowAndActivate();
  // Waits for events and delivers them until the dialog asks to end.
  void RunUntilEnd();
  // Stops the timers and the deliveries: the dialog is going away.
  void Detach();

  // For tests and screenshots.
  QWidget* ControlWidget(int id) const;
  // The widget of the index-th control of the template (IDs or not).
  QWidget* ControlWidgetAt(int index) const;
  QWidget* Client() const;
  MenuStrip* Strip() const { return strip_; }
  QMenu* SystemMenu() const { return systemMenu_; }
  // The system menu's button; nullptr until the program adds an entry.
  QToolButton* SystemMenuButton() const;
  BaseUnits Units() const { return units_; }
  // Opens the system menu at the client's top-left corner, as Alt+Space does.
  void OpenSystemMenu();

 private:
  friend class DialogWidget;
  class KeyWatcher;

  Control* Find(int id);
  const Control* Find(int id) const;
  int IndexOfWidget(const QWidget* widget) const;
  bool Delivering() const;
  void BuildMenus();
  // Places the strip (when it shows anything) above the client area and
  // sizes the window to them.
  void Layout();
  QIcon SmallIcon() const;
  void BuildControls();
  void WireControl(Control& control);
  // Qt's click: its own toggle of a check is taken back, since the rules
  // set the checks.
  void OnClicked(Control& control);
  void Press(Control& control);
  WindowRules Rules() const;
  // A key that moves the focus, as the rules decide (Qt's focus chain has
  // no say); false when the focused control keeps the key.
  bool TakeMoveKey(MoveKey key);
  void OnLineEdited(Control& control);
  void OnTextChanged(Control& control);
  void OnControlFocused(Control& control);
  // Gives the default frame to the button Enter presses now, and only it.
  void ShowDefaultButton();
  void OnEnter();
  void OnEscape();
  void OnCloseBox();
  void OnMenuCommand(int command);
  void OnSysCommand(int command);
  void OnTimer(int id);
  void OpenSystemMenuAt(const QPoint& globalPos);
  void FocusControl(Control& control, Qt::FocusReason reason);

  Dialog& dialog_;
  const DialogTemplate& tmpl_;
  std::unique_ptr<DialogWidget> widget_;
  QWidget* client_ = nullptr;
  MenuStrip* strip_ = nullptr;
  QMenu* systemMenu_ = nullptr;
  std::unique_ptr<KeyWatcher> keyWatcher_;
  BaseUnits units_;
  std::deque<Control> controls_;  // template order; a deque keeps addresses
  std::map<int, QTimer*> timers_;
  std::string title_;
  int bigIcon_ = 0;
  int smallIcon_ = 0;
  QEventLoop loop_;
  bool running_ = false;
  bool detached_ = false;
};

}  // namespace platform::dialog::qt
