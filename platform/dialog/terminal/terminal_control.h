// One control of a dialog in the terminal: its state (caption, check,
// enabled, visible, an edit's text) and where and how it is drawn:
//
//   push button   [ caption ] on one row; the default one < caption >;
//                 a key of a keypad (under 20 units wide) shows its caption alone
//                 (a blank key nothing but its focus); a tall one is a frame with the
//                 caption inside, a double frame for the default one
//   radio button  ( ) caption, (•) when checked
//   check box     [ ] caption, [x] when checked
//   group box     a frame with its title in the top line
//   static text   wrapped in its rectangle, cut with a mark
//   edit          a field of its own ground; a tall bordered one is a frame,
//                 whose right and bottom edges carry the scroll bars' marks
//                 (an unframed one gives its last column and row to them)
//
// The focused control is drawn inverted (an edit shows the caret instead,
// and bold edges where it has a frame); a disabled one dim; a read-only
// edit has a dim ground or frame.
#pragma once

#include <string>

#include "platform/dialog/template.h"
#include "platform/dialog/terminal/canvas.h"
#include "platform/dialog/terminal/cell_geometry.h"
#include "platform/dialog/terminal/edit_text.h"
#include "platform/dialog/window_rules.h"

namespace platform::dialog::terminal {

struct TerminalControl : ControlState {
  std::string caption;  // CP932; what an edit holds is in `edit`
  EditText edit;

  // Where it is drawn, in cells of the dialog's client area.
  CellRect cells;  // everything it draws; a click anywhere here hits it
  bool framed = false;
  CellRect textArea;  // an edit's text
  bool vBar = false;  // an edit's scroll bars
  bool hBar = false;

  bool IsEdit() const { return tmpl->kind == ControlKind::kEdit; }
  bool IsButton() const;  // push button, radio button or check box
  bool ReadOnly() const { return (tmpl->style & kReadOnly) != 0; }
};

// Makes the control for `tmpl` with its template text, state and place.
TerminalControl MakeControl(const ControlTemplate& tmpl);

// A caption without the access-key marks: "&x" shows x, "&&" one "&".
std::string WithoutAccessMarks(std::string_view cp932);

// Draws the control on the canvas, whose view is the client area.
// `isDefault`: the push button Enter presses now.
void PaintControl(Canvas& canvas, const TerminalControl& control, bool focused, bool isDefault);

}  // namespace platform::dialog::terminal
