// Texts from outside the system (a program's message output, the host's
// error texts) are UTF-8; the boxes show CP932.
#pragma once

#include <string>
#include <string_view>

namespace search::ui {

// The first line of `utf8` in CP932, for one line of a box: a character
// that CP932 lacks, or a control character, becomes "?"; a line that stops
// inside a character loses that character.
std::string BoxLine(std::string_view utf8);

}  // namespace search::ui
