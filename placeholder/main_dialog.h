// The placeholder's dialog: it ends with OK the moment it is shown, and
// its end button is the OK action too. It reads and writes nothing.
#pragma once

#include "platform/dialog/dialog.h"

namespace placeholder {

class PlaceholderDlg : public platform::dialog::Dialog {
 public:
  PlaceholderDlg();

 protected:
  bool OnInitDialog() override;
  void OnShowWindow(bool shown) override;

 private:
  int m_hIcon = 0;
};

}  // namespace placeholder
