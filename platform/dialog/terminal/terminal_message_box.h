// A message box in the terminal: a frame in the middle of the screen with
// the caption in its top line, the text wrapped inside and its buttons in
// a row below, the first one focused and default. Enter and Space press
// the focused button, Tab and the arrow keys move between the buttons, a
// button's access letter (Y, N) presses it, and the mouse clicks them. An
// OK box takes Escape as OK; a Yes/No box asks a question that only its
// buttons answer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/message_box.h"
#include "platform/dialog/terminal/screen_window.h"
#include "platform/dialog/window.h"

namespace platform::dialog::terminal {

class TerminalMessageBox final : public Window, public ScreenWindow {
 public:
  TerminalMessageBox(std::string_view text, std::string_view caption, Buttons buttons);

  // Window.
  std::string Title() const override { return title_; }
  void SetTitle(std::string_view cp932) override { title_ = std::string(cp932); }

  // ScreenWindow.
  CellSize Needed() const override;
  void Place(const CellRect& desk, bool outermost) override;
  void Draw(Canvas& canvas) override;
  void Take(const Input& input) override;
  std::string ShownTitle() const override { return title_; }

  // The button pressed, or 0 while none is.
  int Answer() const { return answer_; }
  // For tests: a button's cells on the screen.
  CellRect ButtonCells(int answer) const;

 private:
  struct Button {
    int answer;
    std::string text;  // CP932, with its access mark
  };
  int TextWidth() const;
  CellRect ButtonRect(std::size_t index) const;

  std::string text_;
  std::string title_;
  std::vector<Button> buttons_;
  std::size_t focus_ = 0;
  int answer_ = 0;
  CellRect desk_;
  CellPoint topLeft_{0, 0};
  CellPoint scroll_{0, 0};
};

}  // namespace platform::dialog::terminal
