// tolvane, the search application.
#include "platform/dialog/program.h"
#include "search/ui/start_up.h"

int main() {
  int status = search::ui::RunTolvane();
  return platform::dialog::ProgramEnd(status);
}
