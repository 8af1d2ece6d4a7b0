// What every window of the Qt backend has besides the platform's Window: the
// top-level widget standing for it, so that windows it owns can be parented.
#pragma once

class QWidget;

namespace platform::dialog::qt {

class QtWindow {
 public:
  virtual ~QtWindow() = default;
  virtual QWidget* Widget() const = 0;
};

}  // namespace platform::dialog::qt
