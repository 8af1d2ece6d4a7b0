// Offers the Qt backend to the platform's choice: it is preferred wherever a
// display is reachable. The program target links this library whole so
// that the registration below runs.
#include <memory>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/qt_backend.h"

namespace platform::dialog::qt {
namespace {

std::unique_ptr<Backend> CreateQtBackend() { return std::make_unique<QtBackend>(); }

const char* WhyNot() { return QtBackend::Available() ? nullptr : "no display is reachable"; }

const BackendRegistrar kQtRegistration(BackendEntry{"qt", 10, &QtBackend::Available,
                                                    &CreateQtBackend, false, &WhyNot});

}  // namespace
}  // namespace platform::dialog::qt
