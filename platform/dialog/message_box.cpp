#include "platform/dialog/message_box.h"

#include <errno.h>  // program_invocation_short_name

#include <optional>
#include <string>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"
#include "platform/text/cp932.h"

namespace platform::dialog {
namespace {

// The program's name: the application's, or before there is an application
// object (a start-up failure box, say) the program file's, so that a box
// never goes out without a caption.
std::string ProgramName() {
  if (App::Current() != nullptr && !App::Current()->Name().empty()) return App::Current()->Name();
  std::optional<std::string> file = text::ToCp932Strict(program_invocation_short_name);
  return file ? *file : std::string();
}

}  // namespace

int MessageBox(std::string_view text, std::string_view caption, Buttons buttons) {
  return MessageBoxFor(ActiveWindow(), text, caption, buttons);
}

int MessageBoxFor(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) {
  std::string resolved(caption);
  if (resolved.empty()) resolved = ProgramName();
  return CurrentBackend().ShowMessageBox(owner, text, resolved, buttons);
}

Window* ActiveWindow() { return CurrentBackend().ActiveWindow(); }

}  // namespace platform::dialog
