// kestrum: the data preparation tool. Run in the directory that holds
// "ALL_ZIP.TXT"; its button 1006 builds the kana town index below
// "Zip_Code" there.
#include <string>
#include <vector>

#include "platform/dialog/program.h"
#include "platform/files/size_limit.h"
#include "prep/tool/kestrum_app.h"

int main(int argc, char** argv) {
  platform::files::FailWritesBeyondTheSizeLimit();
  prep::tool::PrepToolApp app;
  int status = app.Run(std::vector<std::string>(argv + 1, argv + argc));
  return platform::dialog::ProgramEnd(status);
}
