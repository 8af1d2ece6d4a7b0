// The demo dialog as a program of its own, linked as the programs are: the
// platform picks the backend. Its dialog ends as soon as it is shown; the
// tests check that it starts, shows and ends cleanly with the Qt backend,
// and whether Qt's libraries were mapped into it (only where it chose Qt).
#include <cstdio>  // std::printf
#include <fstream>
#include <string>

#include "tests/platform/dialog/demo_dialog.h"

int main() {
  demo::DemoApp app;
  demo::MainDialog dialog;
  dialog.endOnShow = true;
  int result = dialog.DoModal();
  std::printf("result %d shows %d destroyed %d\n", result, dialog.shows, dialog.destroyed ? 1 : 0);
  std::ifstream maps("/proc/self/maps");
  bool qtMapped = false;
  for (std::string line; std::getline(maps, line);) qtMapped = qtMapped || line.find("libQt6Core") != std::string::npos;
  std::printf("qt mapped %d\n", qtMapped ? 1 : 0);
  return result == platform::dialog::kIdOk ? 0 : 2;
}
