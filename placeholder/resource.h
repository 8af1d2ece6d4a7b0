// Resource IDs of the placeholder: its one dialog and its icon.
#pragma once

namespace placeholder {

inline constexpr int kPlaceholderDialogId = 102;
inline constexpr int kPlaceholderIcon = 128;

}  // namespace placeholder
