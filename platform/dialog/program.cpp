#include "platform/dialog/program.h"

#include <cstdio>   // std::fputs
#include <cstdlib>  // std::exit

namespace platform::dialog {

void EndWithoutDialogs(int status, const std::string& message) {
  std::fputs(message.c_str(), stderr);
  std::exit(status);
}

}  // namespace platform::dialog
