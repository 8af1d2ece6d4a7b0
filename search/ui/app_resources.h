// The search application's resources besides its templates: the string
// table and icon 128. Registered once at start-up, before the first dialog.
#pragma once

#include "platform/dialog/resources.h"

namespace search::ui {

// Registers strings 100, 101, 103 and icon 128.
void RegisterAppResources();

// Icon 128, a red postal tile with a white 〒, at 32 and 16 pixels.
platform::dialog::IconResource AppIcon();

}  // namespace search::ui
