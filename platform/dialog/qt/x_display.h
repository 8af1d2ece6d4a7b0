// Whether an X server answers at a DISPLAY address, so that the platform
// picks the Qt backend only where its windows can open: a DISPLAY left
// behind by a session that has ended would otherwise make the program abort
// inside Qt instead of ending with the platform's message. Only connects;
// it does not speak the X protocol or check authorisation.
#pragma once

#include <string_view>

namespace platform::dialog::qt {

// `display` has the DISPLAY form "[host]:number[.screen]". A local display
// (no host, or "unix") is tried at its socket, "/tmp/.X11-unix/X<number>"
// in the abstract namespace and then in the file system; any other host
// at TCP port 6000 + number, waiting at most two seconds.
bool XDisplayReachable(std::string_view display);

}  // namespace platform::dialog::qt
