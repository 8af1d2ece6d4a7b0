// tolvane, the search application.
#include "platform/dialog/program.h"
#include "platform/files/size_limit.h"
#include "search/ui/start_up.h"

int main() {
  platform::files::FailWritesBeyondTheSizeLimit();
  int status = search::ui::RunTolvane();
  return platform::dialog::ProgramEnd(status);
}
