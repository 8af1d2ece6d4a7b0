// The placeholder's resources: its one dialog template and its icon.
#pragma once

#include "platform/dialog/template.h"

namespace placeholder {

inline constexpr int kPlaceholderDialogId = 102;
inline constexpr int kPlaceholderIcon = 128;

extern const platform::dialog::DialogTemplate kPlaceholderDialog;

// Registers icon 128, before the dialog is made.
void RegisterPlaceholderIcon();

}  // namespace placeholder
