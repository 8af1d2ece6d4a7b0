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

const char* WhyNot() { return QtDisplayReachable() ? nullptr : "no display is reachable"; }

const BackendRegistrar kQtRegistration(BackendEntry{
    .name = "qt", .priority = 10, .available = &QtDisplayReachable, .create = &CreateQtBackend, .whyNot = &WhyNot});

}  // namespace
}  // namespace platform::dialog::qt
