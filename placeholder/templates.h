// The placeholder's dialog template: layout as data. PlaceholderDlg gives
// it its behaviour.
#pragma once

#include "platform/dialog/template.h"

namespace placeholder {

extern const platform::dialog::DialogTemplate kPlaceholderDialog;

}  // namespace placeholder
