// Result pages: reading the result file, filtering and paging its records,
// the quick file of a slow search, the automatic re-search in the rest
// file, and the next-page button.
#include "search/engine/search_session.h"

#include <cerrno>
#include <cstdio>  // SEEK_SET
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files/file.h"
#include "platform/text/cp932.h"
#include "search/engine/engine_texts.h"
#include "search/engine/result_records.h"

namespace search::engine {
namespace {

namespace files = platform::files;
using platform::text::Cp932;

}  // namespace

int SearchSession::ShowResult() {
  PassEnd end = ShowResultPass();
  if (end != PassEnd::kReSearch) return end == PassEnd::kNotShown ? -1 : 0;
  // The re-search is a search start of its own, whose pass runs with the
  // raised count and so ends the chain; the loop stands where a search
  // start would call this again.
  do {
    BeginRestReSearch();
    end = PrepareResultFile() ? ShowResultPass() : PassEnd::kNotShown;
  } while (end == PassEnd::kReSearch);
  state_.RestRetryActive = 0;
  return 0;
}

SearchSession::PassEnd SearchSession::ShowResultPass() {
  // The text is built aside, so that a read error leaves the state as it is
  // on screen.
  std::string text;
  ResultRead read = ReadFittingRecords(text);
  if (read == ResultRead::kFailed) return PassEnd::kNotShown;
  ShowPages(text);
  if (read == ResultRead::kNoRecord) return PassEnd::kNotShown;

  SetStatus(SearchFinishedStatus());
  KeepQuickResult();
  // Nothing fits: once per query, look in the city's rest file, which holds
  // the towns that have no file of their own.
  if (state_.ResultText.empty() && state_.RestRetryCount == 0) return PassEnd::kReSearch;
  if (state_.ResultText.empty()) {
    static const std::string caption = Cp932("エラー：絶対存在しない検索データーを入力しました。");
    static const std::string message = Cp932(" ^(T|T)^  該当するものがありません。\r\n住所を確かめて下さい。 (?^?) ");
    dialog_.MessageBox(caption, message);
  }
  state_.RestRetryActive = 0;
  state_.RestRetryCount = 0;
  return PassEnd::kShown;
}

SearchSession::ResultRead SearchSession::ReadFittingRecords(std::string& text) {
  return ReadResultRecords([&](const RecordFields& fields) {
    if (RecordFits(state_, fields)) AppendDisplayForm(text, fields);
  });
}

SearchSession::ResultRead SearchSession::ReadResultRecords(const std::function<void(const RecordFields&)>& onRecord) {
  if (!state_.ResultFile.IsOpen()) return ResultRead::kFailed;
  if (state_.ResultFile.Seek(0, SEEK_SET) != 0) {
    NoteIncomplete(files::ErrorText("read", kResultFileName, errno));
    return ResultRead::kFailed;
  }
  reader_.Reset();

  RecordFields fields;
  size_t field = 0;
  bool lineHasBytes = false;
  bool heldRecord = false;
  auto endRecord = [&] {
    // An empty line holds no record.
    if (lineHasBytes) {
      heldRecord = true;
      onRecord(fields);
    }
    for (std::string& f : fields) f.clear();
    field = 0;
    lineHasBytes = false;
  };
  for (;;) {
    int byte = reader_.Next();
    if (byte == files::ByteReader::kError) {
      NoteIncomplete(files::ErrorText("read", kResultFileName, errno));
      return ResultRead::kFailed;
    }
    if (byte == files::ByteReader::kEnd) {
      endRecord();
      break;
    }
    if (byte == '\n') {
      endRecord();
      continue;
    }
    lineHasBytes = true;
    if (byte == ',') {
      ++field;
    } else if (field < fields.size()) {
      // A CR is an ordinary byte; fields after the fifth are dropped.
      fields[field] += static_cast<char>(byte);
    }
  }
  return heldRecord ? ResultRead::kRecords : ResultRead::kNoRecord;
}

void SearchSession::ShowPages(const std::string& text) {
  state_.PagePosition = 0;
  std::vector<std::string> pages = CutPages(text);
  if (pages.size() == 1) {
    state_.PageText[1] = std::move(pages[0]);
    static const std::string allShown = Cp932("これだけです。");
    SetPageLabel(allShown);
  } else {
    static const std::string tooMany = Cp932("件数が多いので、条件（詳細町名）を絞って下さい。");
    for (size_t k = 1; k <= pages.size(); ++k) {
      if (k <= 4)
        state_.PageText[k] = std::move(pages[k - 1]);
      else
        ErrorBox(tooMany);
    }
    static const std::string morePages = Cp932("次のページがあり！");
    SetPageLabel(morePages);
  }
  state_.ResultText = state_.PageText[1];
  ShowState();
}

void SearchSession::KeepQuickResult() {
  if (state_.ResultText.empty()) return;
  SetTime(state_.SearchEndTime, platform::clock::TimeOfDay());
  WriteQuickFile();
}

void SearchSession::BeginRestReSearch() {
  static const std::string town = Cp932("町名 ");
  static const std::string noMatch = Cp932("では該当なし。検索中");
  SetStatus(town + state_.DetailFirstLetter + state_.DetailSecondLetter + noMatch);
  state_.RestRetryActive = 1;
  state_.DetailFirstLetter = Cp932("ｲ");
  state_.DetailSecondLetter = Cp932("ｶ");
  state_.NarrowingString.clear();
  ShowState();
  ++state_.RestRetryCount;
}

void SearchSession::NextPage() {
  static const std::string labels[4] = {Cp932("１ページ目"), Cp932("２ページ目"), Cp932("３ページ目"),
                                        Cp932("４ページ目")};
  state_.PagePosition = (state_.PagePosition + 1) % 4;
  state_.ResultText = state_.PageText[static_cast<size_t>(state_.PagePosition) + 1];
  SetPageLabel(labels[state_.PagePosition]);
  ShowState();
}

}  // namespace search::engine
