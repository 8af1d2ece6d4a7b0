// The tool's dialog templates: the main dialog PrepToolDlg and the about
// box PrepAboutDlg.
#pragma once

#include "platform/dialog/template.h"

namespace prep::tool {

extern const platform::dialog::DialogTemplate kPrepToolDialog;
extern const platform::dialog::DialogTemplate kPrepAboutDialog;

}  // namespace prep::tool
