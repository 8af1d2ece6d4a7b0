// The demo dialog as a program of its own, linked as the programs are: the
// platform picks the backend. Its dialog ends as soon as it is shown; the
// tests check that it starts, shows and ends cleanly with the Qt backend.
#include <cstdio>  // std::printf

#include "tests/platform/dialog/demo_dialog.h"

int main() {
  demo::DemoApp app;
  demo::MainDialog dialog;
  dialog.endOnShow = true;
  int result = dialog.DoModal();
  std::printf("result %d shows %d destroyed %d\n", result, dialog.shows, dialog.destroyed ? 1 : 0);
  return result == platform::dialog::kIdOk ? 0 : 2;
}
