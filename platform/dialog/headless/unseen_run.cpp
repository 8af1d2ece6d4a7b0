// Unseen runs (AllowUnseenRun, program.h): a program whose dialogs end by
// themselves runs them on the headless backend when nothing else can show
// them. It is a scripted run of an empty script whose output goes nowhere:
// a dialog that waits is closed as by its close box, a message box takes
// its default button, and the exit status stays the program's.
#include <memory>
#include <ostream>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"

namespace platform::dialog::headless {
namespace {

std::unique_ptr<Backend> CreateUnseenRun() {
  // A stream without a buffer takes every write and keeps nothing.
  static std::ostream nowhere(nullptr);
  auto backend = std::make_unique<HeadlessBackend>();
  backend->WriteTo(nowhere, nowhere, "unseen run");
  return backend;
}

// Below every window system: only where none is available.
const BackendRegistrar kUnseenRegistration(BackendEntry{.name = "unseen",
                                                        .priority = 1,
                                                        .available = &UnseenRunAllowed,
                                                        .create = &CreateUnseenRun,
                                                        .showsWindows = false});

}  // namespace
}  // namespace platform::dialog::headless
