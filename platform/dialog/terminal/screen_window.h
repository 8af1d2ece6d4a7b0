// What the terminal backend shows and gives the keyboard to: a dialog, a
// message box or the help viewer. The backend keeps them in a stack, draws
// them bottom to top below the title line (row 0 of the screen, which
// shows the top window's title) and hands every key and mouse click to the
// one on top. Each window places itself in the screen's cells and draws
// its own frame and contents.
#pragma once

#include <string>

#include "platform/dialog/terminal/canvas.h"
#include "platform/dialog/terminal/cell_geometry.h"
#include "platform/dialog/terminal/terminal_screen.h"

namespace platform::dialog::terminal {

struct CellPoint {
  int row = -1;  // -1: none
  int col = -1;
};

class ScreenWindow {
 public:
  virtual ~ScreenWindow() = default;

  // The cells the window takes, its frame included.
  virtual CellSize Needed() const = 0;
  // Places the window in `desk`, the screen's cells below the title line:
  // the outermost window stands at the top, any other in the middle. A
  // window larger than the desk is scrolled so that what has the keyboard
  // is in view.
  virtual void Place(const CellRect& desk, bool outermost) = 0;
  virtual void Draw(Canvas& canvas) = 0;
  // A key, a character or a mouse click (screen cells) while it is on top.
  virtual void Take(const Input& input) = 0;
  // Where the terminal's cursor stands (an edit's caret), or none.
  virtual CellPoint Cursor() const { return {}; }
  // The title the title line shows while it is on top (CP932).
  virtual std::string ShownTitle() const = 0;
  // The system menu, reached from the title line's icon mark.
  virtual bool HasSystemMenu() const { return false; }
  virtual void OpenSystemMenu() {}
};

// Where a window of `size` stands in `desk`: at the top centre (outermost)
// or in the middle; where it is larger than the desk, shifted by `scroll`
// (clamped to what there is to scroll). Returns its top-left corner and
// updates `scroll`.
CellPoint PlaceIn(const CellRect& desk, CellSize size, bool outermost, CellPoint& scroll);

// Scrolls a window of `size` that is larger than `desk` as little as
// takes to bring `target` (cells of the window, from its top-left corner)
// into view.
void KeepInView(const CellRect& desk, const CellRect& target, CellSize size, CellPoint& scroll);

}  // namespace platform::dialog::terminal
