// The tool's resources besides its templates: the string table and icon
// 128, registered at start-up before the first dialog or message box. The
// templates are offered to the template check here too.
#pragma once

namespace prep::tool {

void RegisterPrepResources();

}  // namespace prep::tool
