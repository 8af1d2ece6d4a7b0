#include "prep/tool/about_box.h"

#include "prep/tool/templates.h"

namespace prep::tool {

PrepAboutDlg::PrepAboutDlg() : Dialog(kPrepAboutDialog) {}

}  // namespace prep::tool
