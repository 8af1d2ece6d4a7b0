#include "prep/tool/prep_about_dlg.h"

#include "prep/tool/prep_templates.h"

namespace prep::tool {

PrepAboutDlg::PrepAboutDlg() : Dialog(kPrepAboutDialog) {}

}  // namespace prep::tool
