// Draws a dialog as text, for debugging and golden tests: one character cell
// is 4 x 8 dialog units, each control drawn in its rectangle from its
// current state. Output is UTF-8; a two-byte CP932 character takes two cells.
//
//   push button  [OK      ]    default button <OK      > (the one Enter presses now)
//   radio        (*) text      ( ) text        check box [x] text
//   edit         text on a run of dots; one row per line of a multi-line edit
//   group box    a frame with its text in the top edge
//   icon         {128} (its resource ID)
// Hidden controls are left out; a disabled control's text is kept.
#pragma once

#include <string>

#include "platform/dialog/headless/headless_backend.h"

namespace platform::dialog::headless {

std::string RenderText(const HeadlessDialogWindow& window);

}  // namespace platform::dialog::headless
