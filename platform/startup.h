// Start-up of the platform's socket and component layers, which the
// programs initialise before their first dialog. On Linux both succeed;
// the layers are a seam (seam.h), so that a test drives the failure paths.
#pragma once

#include <functional>

namespace platform {

struct StartupLayers {
  std::function<bool()> sockets;
  std::function<bool()> components;
};

// The layers in force (a seam); the host's own at first.
StartupLayers& Startup();

// The host's own: sockets makes writes to a closed connection fail with an
// error instead of ending the process; components has nothing to prepare.
StartupLayers HostStartupLayers();

// True when the layer came up.
bool InitialiseSockets();
bool InitialiseComponents();

}  // namespace platform
