// Whether a display is reachable for the Qt backend, answered without Qt:
// a program asks this before it loads the backend's module, so that a run
// without a display maps none of Qt's libraries.
#pragma once

namespace platform::dialog::qt {

// True where QT_QPA_PLATFORM names a platform other than X, or
// WAYLAND_DISPLAY is set, or DISPLAY names an X server that takes a client
// (x_display.h; that check runs in a child process).
bool QtDisplayReachable();

}  // namespace platform::dialog::qt
