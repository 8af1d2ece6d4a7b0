#include "platform/dialog/qt/display_check.h"

#include <cstdlib>  // std::getenv
#include <cstring>  // std::strncmp

#include "platform/dialog/qt/x_display.h"

namespace platform::dialog::qt {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool QtDisplayReachable() {
  // A platform other than X named for Qt is taken at its word; for X, the
  // server at DISPLAY must take a client.
  const char* named = std::getenv("QT_QPA_PLATFORM");
  bool namesX = named != nullptr && std::strncmp(named, "xcb", 3) == 0;
  if ((IsSet("QT_QPA_PLATFORM") && !namesX) || (!namesX && IsSet("WAYLAND_DISPLAY"))) return true;
  return IsSet("DISPLAY") && XDisplayReachable(std::getenv("DISPLAY"));
}

}  // namespace platform::dialog::qt
