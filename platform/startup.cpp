#include "platform/startup.h"

#include <csignal>  // std::signal, SIGPIPE

namespace platform {

StartupLayers HostStartupLayers() {
  StartupLayers layers;
  layers.sockets = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; };
  layers.components = [] { return true; };
  return layers;
}

StartupLayers& Startup() {
  static StartupLayers layers = HostStartupLayers();
  return layers;
}

bool InitialiseSockets() { return Startup().sockets && Startup().sockets(); }

bool InitialiseComponents() { return Startup().components && Startup().components(); }

}  // namespace platform
