#include "platform/dialog/terminal/terminal_message_box.h"

#include <algorithm>

#include "platform/dialog/terminal/glyphs.h"
#include "platform/dialog/terminal/terminal_control.h"
#include "platform/text/cp932.h"

namespace platform::dialog::terminal {
namespace {

// A text wraps at 40 full-width characters, or where the screen is
// narrower, six cells inside it.
constexpr int kWrapCells = 80;
constexpr int kButtonGap = 2;

int ButtonWidth(std::string_view text) { return CellWidth(WithoutAccessMarks(text)) + 4; }

char AccessLetter(std::string_view cp932) {
  std::size_t at = cp932.find('&');
  return at != std::string_view::npos && at + 1 < cp932.size() ? cp932[at + 1] : 0;
}

}  // namespace

TerminalMessageBox::TerminalMessageBox(std::string_view text, std::string_view caption, Buttons buttons)
    : text_(text), title_(caption) {
  if (buttons == Buttons::kYesNo) {
    buttons_.push_back({kIdYes, text::Cp932("はい(&Y)")});
    buttons_.push_back({kIdNo, text::Cp932("いいえ(&N)")});
  } else {
    buttons_.push_back({kIdOk, "OK"});
  }
}

int TerminalMessageBox::TextWidth() const {
  int wrap = std::max(10, std::min(kWrapCells, desk_.cols - 8));
  int widest = 0;
  for (const TextLine& line : LayOutLines(text_, wrap))
    widest = std::max(widest, CellWidth(std::string_view(text_).substr(line.begin, line.end - line.begin)));
  return std::min(widest, wrap);
}

CellSize TerminalMessageBox::Needed() const {
  int wrap = std::max(10, std::min(kWrapCells, desk_.cols - 8));
  int lines = static_cast<int>(LayOutLines(text_, wrap).size());
  int row = 0;
  for (const Button& b : buttons_) row += ButtonWidth(b.text);
  row += kButtonGap * static_cast<int>(buttons_.size() - 1);
  int inner = std::max({TextWidth(), row, std::min(CellWidth(title_) + 2, wrap)});
  return {lines + 5, inner + 4};
}

void TerminalMessageBox::Place(const CellRect& desk, bool) {
  desk_ = desk;
  topLeft_ = PlaceIn(desk, Needed(), false, scroll_);
}

CellRect TerminalMessageBox::ButtonRect(std::size_t index) const {
  CellSize size = Needed();
  int row = 0;
  for (const Button& b : buttons_) row += ButtonWidth(b.text);
  row += kButtonGap * static_cast<int>(buttons_.size() - 1);
  int col = topLeft_.col + (size.cols - row) / 2;
  for (std::size_t i = 0; i < index; ++i) col += ButtonWidth(buttons_[i].text) + kButtonGap;
  return {topLeft_.row + size.rows - 2, col, 1, ButtonWidth(buttons_[index].text)};
}

CellRect TerminalMessageBox::ButtonCells(int answer) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].answer == answer) return ButtonRect(i);
  return {};
}

void TerminalMessageBox::Draw(Canvas& canvas) {
  CellSize size = Needed();
  CellRect frame{topLeft_.row, topLeft_.col, size.rows, size.cols};
  canvas.SetView(desk_, 0, 0);
  canvas.Fill(frame, U' ', Ink::kPlain);
  canvas.Frame(frame, Ink::kPlain);
  canvas.Paint({frame.row + 1, frame.Right(), frame.rows, 1}, Ink::kShadow);
  canvas.Paint({frame.Bottom(), frame.col + 1, 1, frame.cols}, Ink::kShadow);
  if (frame.cols > 6) {
    canvas.Put(frame.row, frame.col + 1, U' ', 1, Ink::kPlain);
    int used = canvas.Text(frame.row, frame.col + 2, text::WholeCharacters(title_), Ink::kStrong, frame.cols - 5);
    canvas.Put(frame.row, frame.col + 2 + used, U' ', 1, Ink::kPlain);
  }
  int wrap = std::max(10, std::min(kWrapCells, desk_.cols - 8));
  int row = frame.row + 2;
  int left = frame.col + 2 + (size.cols - 4 - TextWidth()) / 2;
  for (const TextLine& line : LayOutLines(text_, wrap)) {
    canvas.Text(row++, left, std::string_view(text_).substr(line.begin, line.end - line.begin), Ink::kPlain,
                size.cols - 4);
  }
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    CellRect cells = ButtonRect(i);
    bool focused = i == focus_;
    Ink ink = focused ? Ink::kFocus : Ink::kPlain;
    canvas.Fill(cells, U' ', ink);
    canvas.Put(cells.row, cells.col, focused ? U'<' : U'[', 1, ink);
    canvas.Put(cells.row, cells.Right() - 1, focused ? U'>' : U']', 1, ink);
    canvas.Text(cells.row, cells.col + 2, WithoutAccessMarks(buttons_[i].text), ink, cells.cols - 4);
  }
  canvas.ResetView();
}

void TerminalMessageBox::Take(const Input& input) {
  bool question = buttons_.size() > 1;
  if (input.kind == Input::Kind::kMouse) {
    if (input.mouse != Input::Mouse::kPress) return;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
      if (ButtonRect(i).Contains(input.row, input.col)) answer_ = buttons_[i].answer;
    return;
  }
  if (input.kind == Input::Kind::kChar) {
    if (input.code == U' ') {
      answer_ = buttons_[focus_].answer;
      return;
    }
    char32_t upper = input.code >= U'a' && input.code <= U'z' ? input.code - U'a' + U'A' : input.code;
    for (const Button& b : buttons_)
      if (AccessLetter(b.text) != 0 && static_cast<char32_t>(AccessLetter(b.text)) == upper) answer_ = b.answer;
    return;
  }
  switch (input.key) {
    case Key::kEnter: answer_ = buttons_[focus_].answer; return;
    case Key::kEscape:
    case Key::kAltF4:
      // Neither answer of a question may be taken for the user.
      if (!question) answer_ = kIdOk;
      return;
    case Key::kTab:
    case Key::kRight:
    case Key::kDown: focus_ = (focus_ + 1) % buttons_.size(); return;
    case Key::kBackTab:
    case Key::kLeft:
    case Key::kUp: focus_ = (focus_ + buttons_.size() - 1) % buttons_.size(); return;
    default: return;
  }
}

}  // namespace platform::dialog::terminal
