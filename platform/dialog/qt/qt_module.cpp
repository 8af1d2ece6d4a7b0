// The Qt backend module's entry, which the platform calls once it has
// chosen the backend and loaded the module (backend.h).
#include "platform/dialog/backend.h"
#include "platform/dialog/qt/qt_backend.h"

extern "C" platform::dialog::Backend* CreateDialogBackend() { return new platform::dialog::qt::QtBackend(); }
