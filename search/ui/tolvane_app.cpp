#include "search/ui/tolvane_app.h"

#include <optional>
#include <string>

#include "platform/help_viewer.h"
#include "platform/text/cp932.h"
#include "search/engine/settings_file.h"
#include "search/ui/resource.h"
#include "search/ui/settings_dialog.h"

namespace search::ui {

TolvaneApp::TolvaneApp() : App(platform::text::Cp932("Tolvane")) {
  BindCommand(kHelpCommand, [] { ShowHelp(); });
  // The dialog has no parent: the platform makes the active window, the
  // main dialog, its owner. Its result is not looked at.
  BindCommand(kSettingsCommand, [] {
    SettingsDialog dialog;
    dialog.DoModal();
  });
}

void ShowHelp() {
  std::optional<std::string> directory = engine::ReadSettings();
  if (!directory) return;
  // The directory text is used as it stands: it is expected to end in "\".
  static const std::string helpFile = platform::text::Cp932("郵便番号検索ヘルプ.hlp");
  platform::ShowHelpContents(*directory + helpFile);
}

}  // namespace search::ui
