#include "prep/tool/kestrum_app.h"

#include <strings.h>  // strcasecmp

#include "platform/dialog/message_box.h"
#include "platform/dialog/resources.h"
#include "platform/startup.h"
#include "prep/tool/app_resources.h"
#include "prep/tool/main_dialog.h"
#include "prep/tool/resource.h"

namespace prep::tool {

namespace dlg = platform::dialog;

PrepToolApp::PrepToolApp() : App("Kestrum") {}

bool IsServerStart(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) continue;
    const char* flag = arg.c_str() + 1;
    if (strcasecmp(flag, "Embedding") == 0 || strcasecmp(flag, "Automation") == 0) return true;
  }
  return false;
}

int PrepToolApp::Run(const std::vector<std::string>& args) {
  RegisterPrepResources();
  if (!platform::InitialiseComponents()) {
    dlg::MessageBox(dlg::LoadString(kComponentFailureString));
    // The tool never ran: a status of its own, not the 0 of a normal end.
    return 1;
  }
  // Dialogs host their controls, drawn in the window system's own look,
  // without anything to prepare here.
  //
  // There is no component server on this platform: an embedded or
  // automation start has no class factories to register, so the tool ends
  // at once with status 0, without a window and writing nothing. Any
  // other argument is ignored.
  if (IsServerStart(args)) return 0;
  PrepToolDlg dialog;
  // Its result, OK or ｷｬﾝｾﾙ, makes no difference.
  dialog.DoModal();
  return dialog.ExitStatus();
}

}  // namespace prep::tool
