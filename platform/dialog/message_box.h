// Modal message boxes and the active window of the thread. A message box
// runs in whatever backend is in force; its answer is the button pressed.
#pragma once

#include <string_view>

#include "platform/dialog/template.h"

namespace platform::dialog {

class Window;

enum class Buttons {
  kOk,     // answers kIdOk
  kYesNo,  // answers kIdYes or kIdNo
};

// Shows a modal message box owned by the active window (nullptr: none) and
// returns the button pressed. Texts are CP932; an empty caption means the
// program's name (App::Name, or the program file's name while there is no
// application object).
int MessageBox(std::string_view text, std::string_view caption = {}, Buttons buttons = Buttons::kOk);

// The same with an explicit owner.
int MessageBoxFor(Window* owner, std::string_view text, std::string_view caption = {}, Buttons buttons = Buttons::kOk);

// The active window of the thread: the top of the modal stack (a dialog or a
// message box), or nullptr.
Window* ActiveWindow();

}  // namespace platform::dialog
