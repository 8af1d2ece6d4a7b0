// A demo program for the dialog platform's tests: a main dialog with a menu,
// a timer, radio groups, read-only and typing edits and a data exchange
// with length checks, and a settings dialog opened from the menu that asks
// a question in a message box. It is written the way the programs declare
// their dialogs: a template table, a class with one binding block, state in
// members.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/app.h"
#include "platform/dialog/data_exchange.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/template.h"

namespace demo {

namespace dlg = platform::dialog;

// Control and command IDs.
enum : int {
  kMainDialogId = 102,
  kSettingsDialogId = 130,
  kMenuId = 129,
  kIconId = 128,

  kSearchButton = 1045,
  kAskButton = 1046,
  kModeLeft = 1219,
  kModeRight = 1220,
  kTargetFirst = 1138,  // 1138 to 1141: a group shown with none checked
  kTargetLast = 1141,
  kLetterEdit = 1057,
  kCityEdit = 1058,
  kResultEdit = 1221,
  kSearchEdit = 1054,
  kOptionCheck = 1117,
  kPathEdit = 1053,

  kSettingsCommand = 32773,
  kAboutCommand = 32774,
  kHelpMenuCommand = 32772,
  kAboutSysCommand = 0x0010,
  kMarqueeTimer = 1,
};

const dlg::DialogTemplate& MainTemplate();
const dlg::DialogTemplate& SettingsTemplate();

// The settings dialog: one path with a length check, and a question.
class SettingsDialog : public dlg::Dialog {
 public:
  explicit SettingsDialog(dlg::Dialog* parent = nullptr);

  std::string path;
  int lastAnswer = 0;

 protected:
  void DoDataExchange(dlg::DataExchange& dx) override;
};

// The main dialog. What happened is kept in public members for the tests.
class MainDialog : public dlg::Dialog {
 public:
  MainDialog();

  // Bound to controls by the transfer pair.
  std::string letter;
  std::string city;
  std::string result;
  // What the reactions saw.
  std::vector<std::string> searchChanges;
  std::vector<int> focusEvents;
  std::vector<int> sysCommands;
  std::vector<int> targetClicks;
  int searches = 0;
  int ticks = 0;
  int shows = 0;
  bool destroyed = false;
  bool endOnShow = false;  // ends the dialog as soon as it is shown

 protected:
  bool OnInitDialog() override;
  void OnShowWindow(bool shown) override;
  void OnTimer(int id) override;
  void OnSysCommand(int command) override;
  void OnDestroy() override;
  void DoDataExchange(dlg::DataExchange& dx) override;
};

// The application object: routes the menu commands to the dialogs; help
// shows kHelpFile.
class DemoApp : public dlg::App {
 public:
  DemoApp();
  int settingsRuns = 0;
};

}  // namespace demo
