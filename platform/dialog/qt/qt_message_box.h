// A modal message box on Qt: the text, the caption and OK or Yes and No, with
// the button texts of a Japanese desktop. Its title can be changed while it
// is open (the marquee writes into the active window's title).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/dialog/message_box.h"
#include "platform/dialog/qt/qt_window.h"
#include "platform/dialog/window.h"

class QMessageBox;
class QWidget;

namespace platform::dialog::qt {

class QtMessageBox final : public Window, public QtWindow {
 public:
  // Builds the hidden box owned by `owner` (nullptr: none); texts are CP932.
  QtMessageBox(QWidget* owner, std::string_view text, std::string_view caption, Buttons buttons);
  ~QtMessageBox() override;

  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override;
  QWidget* Widget() const override;

  // Shows the box and waits for the answer: kIdOk, kIdYes or kIdNo. A box
  // closed without a button answers OK or No.
  int Run();

  // For tests: the box and its text.
  QMessageBox* Box() const { return box_.get(); }
  std::string Text() const { return text_; }
  Buttons ButtonSet() const { return buttons_; }

 private:
  std::unique_ptr<QMessageBox> box_;
  std::string title_;
  std::string text_;
  Buttons buttons_;
};

}  // namespace platform::dialog::qt
