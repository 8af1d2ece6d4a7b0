#include "platform/dialog/clipboard.h"

#include "platform/dialog/backend.h"

namespace platform::dialog {

bool CopyToClipboard(std::string_view cp932) { return CurrentBackend().SetClipboardText(cp932); }

}  // namespace platform::dialog
