// The text of an edit control in the terminal and the user's work on it:
// the caret (always at a character boundary, never inside a two-byte
// character or a CR LF), the whole text selected when the focus arrives by
// Tab, typing within a limit counted in CP932 bytes, and the part of the
// text the control shows (scrolled to keep the caret in view). The text is
// the system's own CP932 bytes, kept as they were set, so that what a
// program sets it reads back unchanged. Draws nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/terminal/glyphs.h"

namespace platform::dialog::terminal {

class EditText {
 public:
  struct Shape {
    bool multiLine = false;
    bool wrap = false;        // multi-line without sideways scrolling: lines wrap at the edge
    bool rightAlign = false;  // lines stand against the right edge
  };

  EditText() = default;
  explicit EditText(Shape shape) : shape_(shape) {}

  const std::string& Text() const { return text_; }
  // The program's text: never cut by the limit. The caret goes to the
  // start and the view to the first line (or, right-aligned, to the lines'
  // ends).
  void SetText(std::string_view cp932);

  // At most this many bytes can be typed; 0 lifts the limit.
  void SetLimit(int limit) { limit_ = limit > 0 ? limit : 0; }

  // Typing. Each returns true when the text changed. A typed text that
  // would pass the limit is refused whole, unless the result is no longer
  // than the text was (deleting from a text the program made too long).
  bool Type(std::string_view cp932);
  bool Backspace();
  bool Delete();

  // The caret. A move drops the selection.
  std::size_t Caret() const { return caret_; }
  void MoveLeft();
  void MoveRight();
  void MoveHome();            // the start of the line
  void MoveEnd();             // the end of the line
  void MoveLines(int delta);  // up (negative) or down, by shown lines
  void MoveToStart();
  void MoveToEnd();
  void SelectAll();
  bool Selected() const { return selected_ && !text_.empty(); }
  // Puts the caret at a cell of the view (a mouse click).
  void PlaceAt(int row, int col);
  // Scrolls the view by lines, or sideways by cells, leaving the caret (a
  // wheel, or the keys of a text that cannot be typed into).
  void Scroll(int lines);
  void ScrollAcross(int cells);

  // The view: the control shows `rows` x `cols` cells. Keeps the caret in
  // view after each change; call whenever the size may have changed.
  void SetView(int rows, int cols);
  int ViewRows() const { return rows_; }
  int ViewCols() const { return cols_; }

  struct ShownLine {
    std::size_t begin = 0;  // bytes of the text
    std::size_t end = 0;
    int col = 0;  // the view column its first byte stands at (may be negative)
  };
  // The lines in view, top to bottom.
  std::vector<ShownLine> Shown() const;
  // Where the caret stands in the view.
  int CaretRow() const;
  int CaretCol() const;

  // The scroll positions for the scroll bars: the first line shown of all
  // lines, and the first column shown of the widest line's width.
  int TopLine() const { return top_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  int LeftCol() const { return left_; }
  int ContentCols() const { return contentCols_; }

 private:
  void Relayout();
  void KeepCaretInView();
  // The view of a text just set: the first line, and the lines' starts
  // (right-aligned: their ends).
  void GoHome();
  int LineOf(std::size_t at) const;
  int LineOffset(int line) const;  // view column of a line's start before scrolling
  std::size_t ByteAtCell(int line, int cell) const;
  bool Replace(std::size_t begin, std::size_t end, std::string_view with);

  Shape shape_;
  std::string text_;
  int limit_ = 0;
  std::size_t caret_ = 0;
  bool selected_ = false;
  int rows_ = 1;
  int cols_ = 1;
  std::vector<TextLine> lines_{TextLine{}};
  std::vector<int> widths_{0};
  int contentCols_ = 1;
  int top_ = 0;
  int left_ = 0;
  int wantedCell_ = -1;  // the column Up and Down keep to
  bool home_ = true;     // the view is as SetText left it
};

}  // namespace platform::dialog::terminal
