#include "search/ui/start_up.h"

#include "platform/dialog/message_box.h"
#include "platform/dialog/resources.h"
#include "platform/directory_lock.h"
#include "platform/startup.h"
#include "search/ui/app_resources.h"
#include "search/ui/main_dialog.h"
#include "search/ui/resource.h"
#include "search/ui/tolvane_app.h"

namespace search::ui {

namespace dlg = platform::dialog;

int RunTolvane() {
  // Held while the program runs, so that no start of a newer workspace
  // removes the directory under it; never waited for.
  platform::DirectoryLock inUse(".", platform::DirectoryLock::Kind::kShared);
  RegisterAppResources();
  TolvaneApp app;
  if (!platform::InitialiseSockets()) {
    dlg::MessageBox(dlg::LoadString(kSocketsFailedString));
    return 1;
  }
  if (!platform::InitialiseComponents()) {
    dlg::MessageBox(dlg::LoadString(kComponentsFailedString));
    return 1;
  }
  // Control hosting and three-dimensional control drawing are what every
  // dialog of this platform has; there is nothing to enable.
  MainDialog dialog;
  dialog.DoModal();
  return 0;
}

}  // namespace search::ui
