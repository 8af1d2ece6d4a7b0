// Dialog units to character cells. A cell is 4 units across and 8 down
// (the 9-point face's base unit is half a full-width character across and
// a line down), so a 443 x 295 unit dialog takes 111 x 37 cells.
//
// Templates place controls a few units apart, less than a cell, so what a
// control draws decides how its rectangle is rounded: a frame (a group box,
// a bordered edit or a tall button) keeps inside its rectangle, so that a
// frame and a neighbour a few units away land on different rows; a line of
// text stands on the row that holds the rectangle's middle; columns round
// to the nearest cell edge.
#pragma once

#include "platform/dialog/template.h"

namespace platform::dialog::terminal {

inline constexpr int kUnitsPerColumn = 4;
inline constexpr int kUnitsPerRow = 8;

struct CellRect {
  int row = 0;
  int col = 0;
  int rows = 0;
  int cols = 0;

  int Bottom() const { return row + rows; }  // the first row below
  int Right() const { return col + cols; }   // the first column to the right
  bool Contains(int r, int c) const { return r >= row && r < Bottom() && c >= col && c < Right(); }
  bool Empty() const { return rows <= 0 || cols <= 0; }
};

struct CellSize {
  int rows = 0;
  int cols = 0;
};

// The cells of a dialog's client area.
CellSize ClientCells(const DialogTemplate& t);

// Columns [left, right) of a rectangle, each edge on the nearest cell edge,
// at least one column wide.
CellRect ColumnsOf(const Rect& du);

// The rectangle as a frame: its edges on the cells inside the rectangle
// (at least as large as a frame can be: 2 x 2).
CellRect FrameOf(const Rect& du);

// The row of a text line whose middle is `middleDu` units down.
int RowAt(int middleDu);

// The rows a text of `lines` lines takes, laid out from the rectangle's top
// (a static text) or centred in it: one row per line while they fit in
// the rows the rectangle covers, the first on RowAt of its middle.
CellRect TextRowsOf(const Rect& du, int lines, bool centred);

// Whether a control of `du` is drawn as a frame: it is at least three rows
// high once its edges keep inside it.
bool TallEnoughForFrame(const Rect& du);

}  // namespace platform::dialog::terminal
