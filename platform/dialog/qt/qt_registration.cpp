// Offers the Qt backend, linked in, to the platform's choice: it is
// preferred wherever a display is reachable. Tests and the look program link
// this library whole so that the registration below runs; programs name the
// module instead (qt_module_entry.cpp).
#include <memory>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/display_check.h"
#include "platform/dialog/qt/qt_backend.h"

namespace platform::dialog::qt {
namespace {

std::unique_ptr<Backend> CreateQtBackend() { return std::make_unique<QtBackend>(); }

const BackendRegistrar kQtRegistration(BackendEntry{"qt", 10, &QtDisplayReachable, &CreateQtBackend});

}  // namespace
}  // namespace platform::dialog::qt
