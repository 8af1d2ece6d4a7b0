#include "search/ui/settings_dialog.h"

#include <optional>

#include "platform/dialog/data_exchange.h"
#include "search/engine/engine_texts.h"
#include "search/engine/settings_file.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {

namespace dlg = platform::dialog;

static_assert(kSettingsPathMaxBytes + 1 == engine::kSettingsRecordBytes,
              "the path and its NUL fill the settings record");

SettingsDialog::SettingsDialog() : Dialog(kSettingsDialogTemplate) {
  Bind(dlg::kIdOk, dlg::Notification::kClicked, [this] { Save(); });
}

void SettingsDialog::OnShowWindow(bool shown) {
  Dialog::OnShowWindow(shown);
  std::optional<std::string> path = engine::ReadSettings();
  if (!path) {
    // The dialog stays open, so that the user can type a path and create
    // the file with "OK".
    MessageBox(engine::SettingsErrorText(), engine::ErrorCaption());
    return;
  }
  path_ = *path;
  ShowMembers();
}

void SettingsDialog::DoDataExchange(dlg::DataExchange& dx) {
  // The limit also stops typing at 499 bytes.
  dx.Text(kSettingsPathEdit, path_, kSettingsPathMaxBytes);
}

void SettingsDialog::Save() {
  if (!ReadBackMembers()) return;
  // Stored exactly as typed: no trimming, no final "\" added.
  if (!engine::WriteSettings(path_)) {
    MessageBox(engine::SettingsErrorText(), engine::ErrorCaption());
    return;
  }
  EndDialog(dlg::kIdOk);
}

}  // namespace search::ui
