// tolvane's start-up with one line more: once the main dialog has been
// shown and has read the settings (its show reaction ran to the end), it
// writes "shown" to standard output and ends. tolvane_bench times a process
// of it from its start to that line, on whichever backend the platform
// picks (the environment decides). With the argument "floor" it says
// "shown" as soon as main starts: what loading the program's libraries
// alone costs.
#include <cstdio>  // std::puts, std::fflush
#include <string_view>

#include "platform/dialog/app.h"
#include "platform/dialog/program.h"
#include "platform/startup.h"
#include "search/ui/app_resources.h"
#include "search/ui/main_dialog.h"
#include "search/ui/tolvane_app.h"

namespace {

class ProbeDialog : public search::ui::MainDialog {
 protected:
  void OnShowWindow(bool shown) override {
    MainDialog::OnShowWindow(shown);
    std::puts("shown");
    std::fflush(stdout);
    EndDialog(platform::dialog::kIdCancel);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "floor") {
    std::puts("shown");
    return 0;
  }
  search::ui::RegisterAppResources();
  search::ui::TolvaneApp app;
  platform::InitialiseSockets();
  platform::InitialiseComponents();
  ProbeDialog dialog;
  dialog.DoModal();
  return platform::dialog::ProgramEnd(0);
}
