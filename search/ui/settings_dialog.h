// The settings dialog: the data directory's full path, loaded from
// "Tolvane.ini" each time the dialog is shown and written back by "OK".
// "ｷｬﾝｾﾙ" and Escape leave the file as it was. The options are shown
// disabled or hidden and nothing reads them.
#pragma once

#include <string>

#include "platform/dialog/dialog.h"

namespace search::ui {

class SettingsDialog : public platform::dialog::Dialog {
 public:
  SettingsDialog();

 protected:
  void OnShowWindow(bool shown) override;
  void DoDataExchange(platform::dialog::DataExchange& dx) override;

 private:
  void Save();

  std::string path_;  // CP932, at most 499 bytes
};

}  // namespace search::ui
