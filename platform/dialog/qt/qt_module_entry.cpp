// Offers the Qt backend to a program's choice as a module: it is preferred
// wherever a display is reachable, and only then is the module loaded, with
// Qt's libraries. The check itself needs none of Qt. A program links this
// library whole (platform_dialog_program); the build names the module's
// file (QT_BACKEND_MODULE).
#include "platform/dialog/backend.h"
#include "platform/dialog/qt/display_check.h"

namespace platform::dialog::qt {
namespace {

const char* WhyNot() { return QtDisplayReachable() ? nullptr : "no display is reachable"; }

const BackendRegistrar kQtModule(BackendEntry{
    .name = "qt", .priority = 10, .available = &QtDisplayReachable, .module = QT_BACKEND_MODULE, .whyNot = &WhyNot});

}  // namespace
}  // namespace platform::dialog::qt
