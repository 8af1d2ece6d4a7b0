#include "platform/dialog/busy_cursor.h"

#include "platform/dialog/backend.h"

namespace platform::dialog {

BusyCursor::BusyCursor() : backend_(CurrentBackend()) { backend_.SetBusy(true); }

BusyCursor::~BusyCursor() { backend_.SetBusy(false); }

}  // namespace platform::dialog
