// A dialog the size of the search application's main window, for the Qt
// backend's look: 443 x 295 dialog units in the 9-point Japanese face, with
// a keypad of 71 buttons, group boxes with members, read-only edits, radio
// groups, a multi-line result box, a menu bar and a system-menu entry.
// Only the layout matters here; the dialog has no behaviour of its own.
#pragma once

#include "platform/dialog/dialog.h"
#include "platform/dialog/template.h"

namespace keypad {

enum : int {
  kKeypadDialogId = 102,
  kIconId = 128,
  kAboutSysCommand = 0x0010,
  kHelpCommand = 32772,
  kSettingsCommand = 32773,
  kRegexCommand = 32774,
  kFirstKana = 1145,
  kLastKana = 1199,
  kPrefectureEdit = 1057,
  kResultEdit = 1221,
  kSearchButton = 1045,
  kStatusButton = 1215,
};

const platform::dialog::DialogTemplate& KeypadTemplate();

// Registers the program icon the dialog shows (resource 128).
void RegisterKeypadIcon();

// The dialog: it appends its about entry to the system menu and sets its
// icon, as the programs do.
class KeypadDialog : public platform::dialog::Dialog {
 public:
  KeypadDialog();

 protected:
  bool OnInitDialog() override;
};

}  // namespace keypad
