// The placeholder's resources besides its template: icon 128. Registered
// once at start-up, before the dialog is made.
#pragma once

namespace placeholder {

void RegisterPlaceholderIcon();

}  // namespace placeholder
