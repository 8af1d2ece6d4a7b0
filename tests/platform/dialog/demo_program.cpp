// The demo dialog as a program of its own, linked as the programs are: the
// platform picks the backend (the headless one when DIALOG_SCRIPT names a
// script). Ends with 0 when the dialog ended with OK, else 1, through
// ProgramEnd, as every program does.
#include "platform/dialog/program.h"
#include "tests/platform/dialog/demo_dialog.h"

int main() {
  demo::DemoApp app;
  demo::MainDialog dialog;
  int result = dialog.DoModal();
  return platform::dialog::ProgramEnd(result == platform::dialog::kIdOk ? 0 : 1);
}
