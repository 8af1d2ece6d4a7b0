// Offers the terminal backend to the platform's choice: below a window
// system, so that it runs where no display is reachable and the program's
// standard input and output are a terminal, and whenever DIALOG_BACKEND
// names it. The program target links this library whole so that the
// registration below runs.
#include <langinfo.h>  // nl_langinfo
#include <unistd.h>    // isatty

#include <clocale>  // std::setlocale
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::getenv
#include <cstring>  // std::strcmp
#include <memory>
#include <string>

#include "platform/dialog/backend.h"
#include "platform/dialog/terminal/terminal_backend.h"
#include "platform/dialog/terminal/terminal_screen.h"

namespace platform::dialog::terminal {
namespace {

const char* WhyNot() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) return "standard input and output are not a terminal";
  const char* inUse = std::getenv(TerminalBackend::kInUseVariable);
  if (inUse != nullptr && *inUse != '\0') return "the terminal shows the dialogs of the program that started this one";
  return nullptr;
}

bool Available() { return WhyNot() == nullptr; }

std::unique_ptr<Backend> Create() {
  // Widths of characters and the terminal library's wide output go by the
  // locale's character type; the dialogs' Japanese needs it to be UTF-8.
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (std::strcmp(codeset, "UTF-8") != 0) {
    std::fprintf(stderr,
                 "The dialogs cannot be shown in this terminal: its locale does not use UTF-8 (character set %s); "
                 "set LANG=C.UTF-8 or another UTF-8 locale.\n",
                 codeset);
    return nullptr;
  }
  std::string problem;
  std::unique_ptr<TerminalScreen> screen = TerminalScreen::Open(TerminalScreen::Setup{}, problem);
  if (!screen) {
    std::fprintf(stderr, "The dialogs cannot be shown in this terminal: %s.\n", problem.c_str());
    return nullptr;
  }
  return std::make_unique<TerminalBackend>(std::move(screen));
}

// Below a window system, above the unseen runs.
const BackendRegistrar kTerminalRegistration(BackendEntry{
    .name = "terminal", .priority = 5, .available = &Available, .create = &Create, .whyNot = &WhyNot});

}  // namespace
}  // namespace platform::dialog::terminal
