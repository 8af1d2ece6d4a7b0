// The regular-expression search: the user types free text, and Enter in it
// has the grep program search the postal authority's CSV files, whose
// matching lines the result box then shows as they stand. The dialog only
// reacts and shows: the pattern, the command text and the run of the grep
// program are search/ui/model/regex_search.h. Nothing survives the dialog
// but the grep program's output file.
#pragma once

#include <string>

#include "platform/dialog/dialog.h"
#include "search/ui/model/regex_search.h"

namespace search::ui {

class RegexSearchDialog : public platform::dialog::Dialog {
 public:
  RegexSearchDialog();

 protected:
  // Every show starts with the search over all files.
  void OnShowWindow(bool shown) override;
  void DoDataExchange(platform::dialog::DataExchange& dx) override;

 private:
  // Any change of the search string: a line break in it starts the search.
  void OnSearchStringChanged();
  void RunSearch();
  void Clear();

  std::string search_;      // the search string, CP932
  std::string lastSearch_;  // the search string, cleaned, when the last search started
  std::string result_;      // the result text, CP932, lines ended by CR LF
  SearchKind kind_ = SearchKind::kAll;
};

}  // namespace search::ui
