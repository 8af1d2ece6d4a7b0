// The tool's about box (PrepAboutDlg): the icon, the version, the notices
// and OK. It has no state.
#pragma once

#include "platform/dialog/dialog.h"

namespace prep::tool {

class PrepAboutDlg : public platform::dialog::Dialog {
 public:
  PrepAboutDlg();
};

}  // namespace prep::tool
