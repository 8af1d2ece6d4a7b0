// The application object of the search application: its name, and the
// menu commands that reach it from the main dialog's menu bar. "ヘルプ"
// opens the help file of the data directory, "初期設定画面" runs the
// settings dialog, "正規表現で検索" the regular-expression search, "住所から
// 検索" the search by a written address (whose data it keeps); the
// platform's standard help command goes to the platform's own help
// handling. A command without a binding does nothing.
#pragma once

#include "platform/dialog/app.h"
#include "search/ui/model/address_search.h"

namespace search::ui {

class TolvaneApp : public platform::dialog::App {
 public:
  TolvaneApp();

 private:
  AddressSearch addressSearch_;  // loaded at the dialog's first showing
};

// "ヘルプ": the help file "郵便番号検索ヘルプ.hlp" of the data directory
// named in "Tolvane.ini", shown by the platform's help viewer. Without a
// settings file nothing happens and nothing is said.
void ShowHelp();

}  // namespace search::ui
