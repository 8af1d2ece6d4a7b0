#include "platform/dialog/terminal/cell_geometry.h"

#include <algorithm>  // std::max, std::min

namespace platform::dialog::terminal {
namespace {

int RoundedColumn(int du) { return (du + kUnitsPerColumn / 2) / kUnitsPerColumn; }

}  // namespace

CellSize ClientCells(const DialogTemplate& t) {
  return {(t.height + kUnitsPerRow - 1) / kUnitsPerRow, RoundedColumn(t.width)};
}

CellRect ColumnsOf(const Rect& du) {
  int left = RoundedColumn(du.x);
  int right = RoundedColumn(du.x + du.width);
  return {RowAt(du.y + du.height / 2), left, 1, std::max(1, right - left)};
}

CellRect FrameOf(const Rect& du) {
  int left = (du.x + kUnitsPerColumn - 1) / kUnitsPerColumn;
  int right = (du.x + du.width - 1) / kUnitsPerColumn;
  int top = (du.y + kUnitsPerRow - 1) / kUnitsPerRow;
  int bottom = (du.y + du.height - 1) / kUnitsPerRow;
  return {top, left, std::max(1, bottom - top + 1), std::max(1, right - left + 1)};
}

int RowAt(int middleDu) { return std::max(0, middleDu) / kUnitsPerRow; }

CellRect TextRowsOf(const Rect& du, int lines, bool centred) {
  CellRect cells = ColumnsOf(du);
  // Lines of a full row each, as many as the rectangle holds (at least one).
  int room = std::max(1, du.height / kUnitsPerRow);
  int shown = std::max(1, std::min(lines, room));
  int firstMiddle =
      centred ? du.y + (du.height - shown * kUnitsPerRow) / 2 + kUnitsPerRow / 2 : du.y + kUnitsPerRow / 2;
  cells.row = RowAt(firstMiddle);
  cells.rows = shown;
  return cells;
}

bool TallEnoughForFrame(const Rect& du) { return FrameOf(du).rows >= 3; }

}  // namespace platform::dialog::terminal
