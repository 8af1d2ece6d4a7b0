#include "platform/dialog/message_box.h"

#include <string>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"

namespace platform::dialog {

int MessageBox(std::string_view text, std::string_view caption, Buttons buttons) {
  return MessageBoxFor(ActiveWindow(), text, caption, buttons);
}

int MessageBoxFor(Window* owner, std::string_view text, std::string_view caption, Buttons buttons) {
  std::string resolved(caption);
  if (resolved.empty() && App::Current() != nullptr) resolved = App::Current()->Name();
  return CurrentBackend().ShowMessageBox(owner, text, resolved, buttons);
}

Window* ActiveWindow() { return CurrentBackend().ActiveWindow(); }

}  // namespace platform::dialog
