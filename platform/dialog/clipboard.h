// The clipboard, for a dialog that hands a text to other programs (a
// postal code to paste into a form). Through the backend that runs.
#pragma once

#include <string_view>

namespace platform::dialog {

// Puts the CP932 text on the clipboard. False when the running backend has
// no clipboard (a text terminal), so that the caller can say so.
bool CopyToClipboard(std::string_view cp932);

}  // namespace platform::dialog
