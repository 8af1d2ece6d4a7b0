// The tool's dialog templates: layout as data, one table per dialog. The
// classes that give them behaviour are PrepToolDlg (main_dialog.h) and
// PrepAboutDlg (about_box.h).
#pragma once

#include "platform/dialog/template.h"

namespace prep::tool {

// Dialog 102: the main dialog.
extern const platform::dialog::DialogTemplate kPrepToolDialog;

// Dialog 100: the about box of the system menu.
extern const platform::dialog::DialogTemplate kPrepAboutDialog;

}  // namespace prep::tool
