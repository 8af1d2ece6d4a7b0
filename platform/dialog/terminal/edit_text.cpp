#include "platform/dialog/terminal/edit_text.h"

#include <algorithm>

namespace platform::dialog::terminal {
namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void EditText::SetText(std::string_view cp932) {
  text_ = std::string(cp932);
  caret_ = 0;
  selected_ = false;
  wantedCell_ = -1;
  Relayout();
  GoHome();
}

void EditText::GoHome() {
  home_ = true;
  top_ = 0;
  left_ = shape_.rightAlign ? std::max(0, contentCols_ - cols_) : 0;
}

void EditText::SetView(int rows, int cols) {
  rows = std::max(1, rows);
  cols = std::max(1, cols);
  if (rows == rows_ && cols == cols_) return;
  rows_ = rows;
  cols_ = cols;
  Relayout();
  if (home_)
    GoHome();
  else
    KeepCaretInView();
}

void EditText::Relayout() {
  if (shape_.multiLine)
    lines_ = LayOutLines(text_, shape_.wrap ? cols_ : 0);
  else
    lines_ = {TextLine{0, text_.size()}};
  widths_.clear();
  int widest = 0;
  for (const TextLine& line : lines_) {
    int width = CellWidth(std::string_view(text_).substr(line.begin, line.end - line.begin));
    widths_.push_back(width);
    widest = std::max(widest, width);
  }
  // One column more than the widest line, for the caret after its end.
  contentCols_ = std::max(cols_, widest + 1);
  top_ = std::clamp(top_, 0, std::max(0, LineCount() - rows_));
  left_ = std::clamp(left_, 0, std::max(0, contentCols_ - cols_));
}

int EditText::LineOf(std::size_t at) const {
  int line = 0;
  for (int i = 0; i < LineCount(); ++i)
    if (lines_[static_cast<std::size_t>(i)].begin <= at) line = i;
  return line;
}

int EditText::LineOffset(int line) const {
  if (!shape_.rightAlign) return 0;
  return contentCols_ - 1 - widths_[static_cast<std::size_t>(line)];
}

std::size_t EditText::ByteAtCell(int line, int cell) const {
  const TextLine& l = lines_[static_cast<std::size_t>(line)];
  int used = 0;
  std::size_t at = l.begin;
  while (at < l.end) {
    Glyph g = GlyphAt(text_, at);
    if (used + g.width > cell) break;
    used += g.width;
    at += static_cast<std::size_t>(g.bytes);
  }
  return at;
}

void EditText::KeepCaretInView() {
  home_ = false;
  int line = LineOf(caret_);
  if (line < top_) top_ = line;
  if (line >= top_ + rows_) top_ = line - rows_ + 1;
  top_ = std::clamp(top_, 0, std::max(0, LineCount() - rows_));
  const TextLine& l = lines_[static_cast<std::size_t>(line)];
  int cell = LineOffset(line) + CellWidth(std::string_view(text_).substr(l.begin, caret_ - l.begin));
  if (cell < left_) left_ = cell;
  if (cell >= left_ + cols_) left_ = cell - cols_ + 1;
  left_ = std::clamp(left_, 0, std::max(0, contentCols_ - cols_));
}

bool EditText::Replace(std::size_t begin, std::size_t end, std::string_view with) {
  std::size_t newLength = text_.size() - (end - begin) + with.size();
  if (limit_ > 0 && newLength > static_cast<std::size_t>(limit_) && newLength > text_.size()) return false;
  text_.replace(begin, end - begin, with);
  caret_ = begin + with.size();
  selected_ = false;
  wantedCell_ = -1;
  Relayout();
  KeepCaretInView();
  return true;
}

bool EditText::Type(std::string_view cp932) {
  if (Selected()) return Replace(0, text_.size(), cp932);
  selected_ = false;
  return Replace(caret_, caret_, cp932);
}

bool EditText::Backspace() {
  if (Selected()) return Replace(0, text_.size(), {});
  selected_ = false;
  if (caret_ == 0) return false;
  std::size_t end = caret_;
  MoveLeft();
  return Replace(caret_, end, {});
}

bool EditText::Delete() {
  if (Selected()) return Replace(0, text_.size(), {});
  selected_ = false;
  if (caret_ >= text_.size()) return false;
  std::size_t begin = caret_;
  MoveRight();
  return Replace(begin, caret_, {});
}

void EditText::MoveLeft() {
  selected_ = false;
  wantedCell_ = -1;
  if (caret_ == 0) return;
  // A line break (CR LF as one) just before the caret.
  if (IsBreak(text_[caret_ - 1])) {
    caret_ -= (text_[caret_ - 1] == '\n' && caret_ >= 2 && text_[caret_ - 2] == '\r') ? 2 : 1;
    KeepCaretInView();
    return;
  }
  // CP932 cannot be read backwards: walk the line from its start.
  int line = LineOf(caret_);
  std::size_t at = lines_[static_cast<std::size_t>(line)].begin;
  if (at == caret_ && line > 0) at = lines_[static_cast<std::size_t>(line - 1)].begin;
  std::size_t previous = at;
  while (at < caret_) {
    previous = at;
    at += static_cast<std::size_t>(GlyphAt(text_, at).bytes);
  }
  caret_ = previous;
  KeepCaretInView();
}

void EditText::MoveRight() {
  selected_ = false;
  wantedCell_ = -1;
  if (caret_ >= text_.size()) return;
  if (text_[caret_] == '\r' && caret_ + 1 < text_.size() && text_[caret_ + 1] == '\n')
    caret_ += 2;
  else
    caret_ += static_cast<std::size_t>(IsBreak(text_[caret_]) ? 1 : GlyphAt(text_, caret_).bytes);
  KeepCaretInView();
}

void EditText::MoveHome() {
  selected_ = false;
  wantedCell_ = -1;
  caret_ = lines_[static_cast<std::size_t>(LineOf(caret_))].begin;
  KeepCaretInView();
}

void EditText::MoveEnd() {
  selected_ = false;
  wantedCell_ = -1;
  caret_ = lines_[static_cast<std::size_t>(LineOf(caret_))].end;
  KeepCaretInView();
}

void EditText::MoveLines(int delta) {
  selected_ = false;
  int line = LineOf(caret_);
  if (wantedCell_ < 0) {
    const TextLine& l = lines_[static_cast<std::size_t>(line)];
    wantedCell_ = LineOffset(line) + CellWidth(std::string_view(text_).substr(l.begin, caret_ - l.begin));
  }
  int target = std::clamp(line + delta, 0, LineCount() - 1);
  int keep = wantedCell_;
  caret_ = ByteAtCell(target, std::max(0, wantedCell_ - LineOffset(target)));
  KeepCaretInView();
  wantedCell_ = keep;
}

void EditText::MoveToStart() {
  selected_ = false;
  wantedCell_ = -1;
  caret_ = 0;
  KeepCaretInView();
}

void EditText::MoveToEnd() {
  selected_ = false;
  wantedCell_ = -1;
  caret_ = text_.size();
  KeepCaretInView();
}

void EditText::SelectAll() {
  selected_ = true;
  wantedCell_ = -1;
  caret_ = text_.size();
  KeepCaretInView();
}

void EditText::PlaceAt(int row, int col) {
  selected_ = false;
  wantedCell_ = -1;
  int line = std::clamp(top_ + row, 0, LineCount() - 1);
  caret_ = ByteAtCell(line, std::max(0, col + left_ - LineOffset(line)));
  KeepCaretInView();
}

void EditText::Scroll(int lines) {
  home_ = false;
  top_ = std::clamp(top_ + lines, 0, std::max(0, LineCount() - rows_));
}

void EditText::ScrollAcross(int cells) {
  home_ = false;
  left_ = std::clamp(left_ + cells, 0, std::max(0, contentCols_ - cols_));
}

std::vector<EditText::ShownLine> EditText::Shown() const {
  std::vector<ShownLine> shown;
  int last = std::min(LineCount(), top_ + rows_);
  for (int i = top_; i < last; ++i) {
    const TextLine& l = lines_[static_cast<std::size_t>(i)];
    shown.push_back({l.begin, l.end, LineOffset(i) - left_});
  }
  return shown;
}

int EditText::CaretRow() const { return LineOf(caret_) - top_; }

int EditText::CaretCol() const {
  int line = LineOf(caret_);
  const TextLine& l = lines_[static_cast<std::size_t>(line)];
  return LineOffset(line) + CellWidth(std::string_view(text_).substr(l.begin, caret_ - l.begin)) - left_;
}

}  // namespace platform::dialog::terminal
