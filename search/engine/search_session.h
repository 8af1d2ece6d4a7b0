// One search dialog's engine: owns the SearchState and runs every search
// path on it (search start, result pages, next page, final narrowing, quick
// files). What the user sees goes through the DialogSide, the time of day
// comes from the platform's clock in force; the engine draws nothing and
// waits for nothing.
#pragma once

#include <functional>
#include <string>

#include "platform/files/byte_reader.h"
#include "search/engine/dialog_side.h"
#include "search/engine/result_records.h"
#include "search/engine/search_state.h"

namespace search::engine {

// Name of the copy of the index file that the result pages read, in the
// current directory.
inline constexpr char kResultFileName[] = "Result_Tmp";

// Directory of the quick-result files, below the current directory.
inline constexpr char kQuickDirectory[] = "QUICK";

class SearchSession {
 public:
  explicit SearchSession(DialogSide& dialog);
  ~SearchSession();  // closes the result file
  SearchSession(const SearchSession&) = delete;
  SearchSession& operator=(const SearchSession&) = delete;

  SearchState& State() { return state_; }
  const SearchState& State() const { return state_; }

  // What the dialog's initialisation does to the state: the status line
  // "＊ 検索終了 ＊", the re-search flag and counter at 0, and the directory
  // "QUICK" (an error there is ignored).
  void InitialiseDialog();

  // The transfer operations of SearchState, on this session's dialog.
  void ShowState();
  bool ReadBackState();
  void NormaliseBlankLetters();
  void SetStatus(const std::string& text);
  void SetPageLabel(const std::string& text);

  // "検索開始": names the index file from the city and town letters, copies
  // it to "Result_Tmp" and shows the result.
  void StartSearch();

  // Reads the open result file from its start, keeps the records that fit
  // the query, pages and shows them; re-searches once in the city's rest
  // file when nothing fits. 0, or -1 when the file cannot be read or holds
  // no record.
  int ShowResult();

  // "次のページへ": shows the next of the four pages.
  void NextPage();

  // "最終絞り込みのみ": a search, then a second display pass over its file.
  void FinalNarrowing();

  // Leaves the shown page in "QUICK\" + six letters + ".QIC" when the search
  // took 15 seconds or more. 1 when a file was written, else -1.
  int WriteQuickFile();

  // Why the last search could not be completed, in UTF-8 ("cannot write
  // Result_Tmp: No space left on device"), or an empty text when it was: a
  // search that found nothing, or whose index file does not exist, is
  // complete. The engine's boxes say no more than the system's own texts
  // (and some of these failures end a search silently): the main dialog
  // shows this in a box of its own after the search, a command line prints
  // it. Cleared by every search start other than the automatic re-search.
  const std::string& IncompleteReason() const { return incomplete_; }

 private:
  // How one display pass over the result file ended: nothing shown (a read
  // error, or no record in the file), shown, or nothing fit and the rest
  // file is to be searched.
  enum class PassEnd { kNotShown, kShown, kReSearch };
  // How reading the result file ended.
  enum class ResultRead { kFailed, kNoRecord, kRecords };

  // The search start up to its result file: true when ResultFile is open
  // on the fresh copy of the index file, false when the search ended
  // before (with a box, or silently).
  bool PrepareResultFile();
  // Reads, filters, pages and shows the result file once; the status line,
  // the quick file and the final box of a chain follow when it held records.
  PassEnd ShowResultPass();
  // Appends the display form of every record that fits the query.
  ResultRead ReadFittingRecords(std::string& text);
  // Reads the result file from its start and hands each record to
  // `onRecord`; a read error is noted as why the search is incomplete.
  ResultRead ReadResultRecords(const std::function<void(const RecordFields&)>& onRecord);
  // Cuts the display text into the pages and shows the first one.
  void ShowPages(const std::string& text);
  // Leaves a shown result in a quick file when the search was slow.
  void KeepQuickResult();
  // Announces the re-search and puts the rest letters into the query.
  void BeginRestReSearch();

  void CloseResultFile();
  void ErrorBox(const std::string& text);
  // Re-reads "Tolvane.ini" into DataDirectory; on failure shows the
  // settings box and returns false.
  bool ReloadDataDirectory();
  // Notes why the search could not be completed; the first reason stays.
  void NoteIncomplete(std::string reason);

  DialogSide& dialog_;
  SearchState state_;
  std::string incomplete_;
  // Reads state_.ResultFile, whatever file it holds at the time.
  platform::files::ByteReader reader_{state_.ResultFile};
};

}  // namespace search::engine
