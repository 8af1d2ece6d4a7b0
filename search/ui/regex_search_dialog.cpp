#include "search/ui/regex_search_dialog.h"

#include "platform/dialog/busy_cursor.h"
#include "platform/dialog/data_exchange.h"
#include "platform/text/cp932.h"
#include "search/engine/engine_texts.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {

namespace dlg = platform::dialog;

RegexSearchDialog::RegexSearchDialog() : Dialog(kRegexSearchDialogTemplate) {
  Bind(kRegexSearchEdit, dlg::Notification::kChanged, [this] { OnSearchStringChanged(); });
  Bind(kRegexAllRadio, dlg::Notification::kClicked, [this] { kind_ = SearchKind::kAll; });
  Bind(kRegexOfficesRadio, dlg::Notification::kClicked, [this] { kind_ = SearchKind::kOffices; });
  Bind(kRegexGeneralRadio, dlg::Notification::kClicked, [this] { kind_ = SearchKind::kGeneral; });
  Bind(kRegexClearButton, dlg::Notification::kClicked, [this] { Clear(); });
}

void RegexSearchDialog::OnShowWindow(bool shown) {
  CheckRadio(kRegexAllRadio);
  kind_ = SearchKind::kAll;
  Dialog::OnShowWindow(shown);
}

void RegexSearchDialog::DoDataExchange(dlg::DataExchange& dx) {
  dx.Text(kRegexSearchEdit, search_);
  dx.Text(kRegexResultEdit, result_);
}

void RegexSearchDialog::OnSearchStringChanged() {
  // The search edit alone: this also runs while the members are being
  // shown, when the result box still holds the old text.
  search_ = Text(kRegexSearchEdit);
  if (search_.size() > kSearchStringMaxBytes) {
    static const std::string tooLong = platform::text::Cp932("検索文字列が長すぎます。");
    MessageBox(tooLong, engine::ErrorCaption());
    return;
  }
  // Without a line break the user is still typing. Showing the cleaned
  // text changes the edit again, and that change finds none.
  if (!RemoveEnterBytes(search_)) return;
  SetText(kRegexSearchEdit, search_);
  lastSearch_ = search_;
  RunSearch();
  // Past the result box and back: the search string, its text selected,
  // ready for the next one.
  NextTabStop();
  NextTabStop();
}

void RegexSearchDialog::RunSearch() {
  ReadBackMembers();
  GrepSearchOutcome outcome;
  {
    dlg::BusyCursor busy;
    outcome = RunGrepSearch(GrepCommandText(search_, kind_));
  }
  if (!outcome.result) {
    if (!outcome.failure.empty()) {
      MessageBox(outcome.failure, engine::ErrorCaption());
    } else {
      // The caption is the program's name.
      static const std::string noFile = platform::text::Cp932("ファイルがありません。");
      MessageBox(noFile);
    }
    // The result box is emptied, so that an earlier search's lines never
    // stand under these words as their result.
    result_.clear();
  } else {
    result_ = *outcome.result;
  }
  // The user's own words, not the pattern.
  search_ = lastSearch_;
  ShowMembers();
}

void RegexSearchDialog::Clear() {
  search_.clear();
  result_.clear();
  ShowMembers();
}

}  // namespace search::ui
