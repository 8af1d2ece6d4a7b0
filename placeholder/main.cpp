// vesk: the placeholder program. It shows its dialog, which ends the
// moment it is shown, and ends with status 0, whatever its arguments.
#include "placeholder/app_resources.h"
#include "placeholder/main_dialog.h"
#include "platform/dialog/program.h"
#include "platform/files/size_limit.h"

int main() {
  platform::files::FailWritesBeyondTheSizeLimit();
  placeholder::RegisterPlaceholderIcon();
  // It is started by the grep program, also on machines without a
  // display: there its dialog runs unseen, and ends just the same.
  platform::dialog::AllowUnseenRun();
  placeholder::PlaceholderDlg dialog;
  dialog.DoModal();
  return platform::dialog::ProgramEnd(0);
}
