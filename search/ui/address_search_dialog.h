// The search by a written address: the user pastes or types an address,
// Enter (or "検索") lists its candidates, "前の候補" and "次の候補" move
// the choice and "郵便番号をコピー" puts the chosen code on the clipboard.
// The dialog only reacts and shows: the data and the choice are
// search/ui/model/address_search.h, which outlives the dialog so that the
// data loads once.
#pragma once

#include <string>

#include "platform/dialog/dialog.h"
#include "search/ui/model/address_search.h"

namespace search::ui {

class AddressSearchDialog : public platform::dialog::Dialog {
 public:
  explicit AddressSearchDialog(AddressSearch& search);

 protected:
  // Loads the data the first time; a file that cannot be read is said in a
  // message box, and the dialog stays open with nothing to search.
  void OnShowWindow(bool shown) override;
  void DoDataExchange(platform::dialog::DataExchange& dx) override;

 private:
  void Search();
  void Choose(int step);
  void CopyCode();

  AddressSearch& search_;
  std::string address_;  // CP932
  std::string result_;
  std::string chosen_;
};

}  // namespace search::ui
