// Icon resources (resources.h) as Qt icons.
#pragma once

#include <QIcon>

namespace platform::dialog::qt {

// The registered icon with this ID with all its images, or a null icon.
QIcon IconFor(int id);

}  // namespace platform::dialog::qt
