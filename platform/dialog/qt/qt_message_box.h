// A modal message box on Qt: the information icon and OK, or the question
// icon and Yes and No, with the button texts of a Japanese desktop; the
// text wraps at a sensible width and the box takes the size it needs. Its
// title can be changed while it is open (the marquee writes into the active
// window's title).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <QList>

#include "platform/dialog/message_box.h"
#include "platform/dialog/qt/qt_window.h"
#include "platform/dialog/window.h"

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace platform::dialog::qt {

class DialogText;

class QtMessageBox final : public Window, public QtWindow {
 public:
  // Builds the hidden box owned by `owner` (nullptr: none); texts are CP932.
  QtMessageBox(QWidget* owner, std::string_view text, std::string_view caption, Buttons buttons);
  ~QtMessageBox() override;

  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override;
  QWidget* Widget() const override;

  // Shows the box and waits for the answer: kIdOk, kIdYes or kIdNo. A box
  // ended without a button (only a test's abort can) answers OK or No.
  int Run();

  // For tests: the box, its parts and its text.
  QDialog* Box() const { return box_.get(); }
  QList<QPushButton*> ButtonList() const;
  QLabel* IconLabel() const { return icon_; }
  DialogText* TextWidget() const { return textWidget_; }
  std::string Text() const { return text_; }
  Buttons ButtonSet() const { return buttons_; }

 private:
  std::unique_ptr<QDialog> box_;
  QLabel* icon_ = nullptr;
  DialogText* textWidget_ = nullptr;
  std::string title_;
  std::string text_;
  Buttons buttons_;
};

}  // namespace platform::dialog::qt
