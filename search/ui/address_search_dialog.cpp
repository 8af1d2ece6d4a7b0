#include "search/ui/address_search_dialog.h"

#include "platform/dialog/busy_cursor.h"
#include "platform/dialog/clipboard.h"
#include "platform/dialog/data_exchange.h"
#include "platform/text/cp932.h"
#include "search/engine/engine_texts.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {

namespace dlg = platform::dialog;

AddressSearchDialog::AddressSearchDialog(AddressSearch& search)
    : Dialog(kAddressSearchDialogTemplate), search_(search) {
  Bind(kAddressSearchButton, dlg::Notification::kClicked, [this] { Search(); });
  Bind(kAddressPreviousButton, dlg::Notification::kClicked, [this] { Choose(-1); });
  Bind(kAddressNextButton, dlg::Notification::kClicked, [this] { Choose(1); });
  Bind(kAddressCopyButton, dlg::Notification::kClicked, [this] { CopyCode(); });
}

void AddressSearchDialog::OnShowWindow(bool shown) {
  Dialog::OnShowWindow(shown);
  std::string error;
  bool loaded;
  {
    dlg::BusyCursor busy;
    loaded = search_.Load(error);
  }
  if (!loaded) MessageBox(error, engine::ErrorCaption());
}

void AddressSearchDialog::DoDataExchange(dlg::DataExchange& dx) {
  dx.Text(kAddressEdit, address_);
  dx.Text(kAddressResultEdit, result_);
  dx.Text(kAddressChosenEdit, chosen_);
}

void AddressSearchDialog::Search() {
  ReadBackMembers();
  search_.Search(address_);
  result_ = search_.ResultText();
  chosen_ = search_.ChosenText();
  ShowMembers();
}

void AddressSearchDialog::Choose(int step) {
  search_.Choose(step);
  result_ = search_.ResultText();
  chosen_ = search_.ChosenText();
  ShowMembers();
}

void AddressSearchDialog::CopyCode() {
  std::string code = search_.ChosenCode();
  if (code.empty()) {
    static const std::string nothing = platform::text::Cp932("コピーする郵便番号がありません。先に検索して下さい。");
    MessageBox(nothing, engine::ErrorCaption());
  } else if (!dlg::CopyToClipboard(code)) {
    static const std::string noClipboard = platform::text::Cp932("この画面ではクリップボードを使えません。");
    MessageBox(noClipboard, engine::ErrorCaption());
  }
}

}  // namespace search::ui
