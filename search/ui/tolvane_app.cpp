#include "search/ui/tolvane_app.h"

#include <optional>
#include <string>

#include "platform/help_viewer.h"
#include "platform/text/cp932.h"
#include "search/engine/settings_file.h"
#include "search/ui/address_search_dialog.h"
#include "search/ui/regex_search_dialog.h"
#include "search/ui/resource.h"
#include "search/ui/settings_dialog.h"

namespace search::ui {

TolvaneApp::TolvaneApp() : App(platform::text::Cp932("Tolvane")) {
  BindCommand(kHelpCommand, [] { ShowHelp(); });
  // The dialogs have no parent: the platform makes the active window, the
  // main dialog, their owner. Their results are not looked at.
  BindCommand(kSettingsCommand, [] {
    SettingsDialog dialog;
    dialog.DoModal();
  });
  BindCommand(kRegexSearchCommand, [] {
    RegexSearchDialog dialog;
    dialog.DoModal();
  });
  BindCommand(kAddressSearchCommand, [this] {
    AddressSearchDialog dialog(addressSearch_);
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
