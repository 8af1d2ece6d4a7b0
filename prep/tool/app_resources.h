// The tool's strings and icon, registered at start-up before the first
// dialog or message box.
#pragma once

namespace prep::tool {

void RegisterPrepResources();

}  // namespace prep::tool
