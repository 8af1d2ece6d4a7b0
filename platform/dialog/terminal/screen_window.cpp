#include "platform/dialog/terminal/screen_window.h"

#include <algorithm>

namespace platform::dialog::terminal {
namespace {

// One dimension of PlaceIn: the window's first cell, and its scroll.
int PlaceAlong(int deskStart, int deskLength, int length, bool atStart, int& scroll) {
  if (length <= deskLength) {
    scroll = 0;
    return deskStart + (atStart ? 0 : (deskLength - length) / 2);
  }
  scroll = std::clamp(scroll, 0, length - deskLength);
  return deskStart - scroll;
}

void KeepAlong(int deskLength, int start, int length, int windowLength, int& scroll) {
  if (windowLength <= deskLength) return;
  // The target's end first, then its start, so that the start wins when
  // the target is larger than the desk.
  if (start + length - scroll > deskLength) scroll = start + length - deskLength;
  if (start - scroll < 0) scroll = start;
  scroll = std::clamp(scroll, 0, windowLength - deskLength);
}

}  // namespace

CellPoint PlaceIn(const CellRect& desk, CellSize size, bool outermost, CellPoint& scroll) {
  CellPoint at;
  at.row = PlaceAlong(desk.row, desk.rows, size.rows, outermost, scroll.row);
  at.col = PlaceAlong(desk.col, desk.cols, size.cols, false, scroll.col);
  return at;
}

void KeepInView(const CellRect& desk, const CellRect& target, CellSize size, CellPoint& scroll) {
  KeepAlong(desk.rows, target.row, target.rows, size.rows, scroll.row);
  KeepAlong(desk.cols, target.col, target.cols, size.cols, scroll.col);
}

}  // namespace platform::dialog::terminal
