// The screen as the backend draws it, before it goes to the terminal: a
// grid of cells, each a character and an ink (what it means: plain text, a
// focused control, a dimmed one, ...). The terminal decides how an ink
// looks (terminal_screen.h); tests read the grid back as text lines.
//
// A full-width character fills two cells. Drawing over either half of one
// clears the other half, so the grid never holds half a character, and a
// character that would stand half outside the clip is not drawn.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/terminal/cell_geometry.h"

namespace platform::dialog::terminal {

enum class Ink : unsigned char {
  kPlain,
  kDim,         // disabled controls, read-only frames, separators
  kStrong,      // the default button's marks, titles of frames
  kFocus,       // the control with the keyboard focus
  kField,       // the ground of an edit the user can type into
  kFieldDim,    // the ground of a read-only edit
  kReadOnly,    // the text of a read-only edit
  kSelected,    // selected text in an edit
  kTitleBar,    // the title line at the top of the screen
  kMenuBar,     // a menu bar
  kMenuChosen,  // the menu item under the keyboard
  kShadow,      // the shadow of a window above others
  kNote,        // the line saying that a window does not fit
  kCount
};

struct Cell {
  char32_t code = U' ';
  Ink ink = Ink::kPlain;
  bool wide = false;  // the first half of a full-width character
  bool tail = false;  // the second half of one: nothing of its own
};

class Canvas {
 public:
  Canvas(int rows, int cols);

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  void Resize(int rows, int cols);
  void Clear();

  // Drawing goes through a view: coordinates are relative to `origin` and
  // nothing outside `clip` (screen coordinates) is touched. The default
  // view is the whole grid.
  void SetView(CellRect clip, int originRow, int originCol);
  void ResetView();
  CellRect Clip() const { return clip_; }

  // One character at view coordinates; false when it was not drawn.
  bool Put(int row, int col, char32_t code, int width, Ink ink);
  // A CP932 text from `col`, in at most `cells` cells; a text that does not
  // fit is cut at a character boundary and ends in the cut mark. Returns
  // the cells used.
  int Text(int row, int col, std::string_view cp932, Ink ink, int cells);
  // A UTF-8 text of the platform's own (menus, notes), the same way.
  int Utf8(int row, int col, std::string_view utf8, Ink ink, int cells);
  void Fill(const CellRect& rect, char32_t code, Ink ink);
  // Changes the ink of cells already drawn.
  void Paint(const CellRect& rect, Ink ink);
  // A single-line frame round `rect` (its outermost cells).
  void Frame(const CellRect& rect, Ink ink, bool doubleLine = false);

  const Cell& At(int row, int col) const { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }

  // The grid as UTF-8 lines, trailing blanks removed.
  std::vector<std::string> Lines() const;

 private:
  Cell& Mutable(int row, int col) { return cells_[static_cast<std::size_t>(row * cols_ + col)]; }
  // Clears what a write at screen cell (row, col) breaks of a full-width
  // character.
  void Unpair(int row, int col);

  int rows_;
  int cols_;
  std::vector<Cell> cells_;
  CellRect clip_;
  int originRow_ = 0;
  int originCol_ = 0;
};

}  // namespace platform::dialog::terminal
