// Search start: from the city and town letters to one index file, copied to
// "Result_Tmp" and handed to the result pages.
#include "search/engine/search_session.h"

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files/file.h"
#include "platform/text/cp932.h"
#include "search/engine/engine_texts.h"

namespace search::engine {
namespace {

namespace files = platform::files;
using platform::text::Cp932;

// Copies the whole of one open file into another. False on a failed read
// (`readFailed` set) or write.
bool CopyFile(files::File& from, files::File& to, bool& readFailed) {
  std::vector<char> block(64 * 1024);
  for (;;) {
    long n = from.Read(block.data(), block.size());
    if (n < 0) {
      readFailed = true;
      return false;
    }
    if (n == 0) return true;
    if (to.Write(block.data(), static_cast<size_t>(n)) != n) return false;
  }
}

}  // namespace

void SearchSession::StartSearch() {
  if (PrepareResultFile()) ShowResult();
}

bool SearchSession::PrepareResultFile() {
  if (state_.RestRetryActive == 0) incomplete_.clear();
  for (size_t page = 1; page <= 4; ++page) state_.PageText[page].clear();
  NormaliseBlankLetters();

  if (!ReloadDataDirectory()) return false;
  ShowState();
  SetTime(state_.SearchStartTime, platform::clock::TimeOfDay());
  // During an automatic re-search the status line keeps the text that
  // announced it.
  if (state_.RestRetryActive == 0) {
    static const std::string searching = Cp932("＊ 検索中 ＊");
    SetStatus(searching);
  }
  ReadBackState();

  // Empty letters contribute nothing; the lookup ignores the case of
  // ".IDX", so the builder's ".Idx" files are found.
  std::string indexName = state_.DataDirectory + "N_" + state_.CityLetter + "\\" + state_.DetailFirstLetter +
                          state_.DetailSecondLetter + ".IDX";
  // The index is only read, so a write-protected data directory works. A
  // named pipe or device in its place is refused without waiting on it.
  files::File index = files::Open(indexName, files::kRead | files::kRegularFile);
  if (!index.IsOpen()) {
    // A file that does not exist holds no town; one that cannot be read
    // may hold the town asked for.
    if (errno != ENOENT) NoteIncomplete(files::HostErrorText("open", indexName, errno));
    static const std::string noData = Cp932("*** 該当データーがない ***");
    ErrorBox(noData);
    return false;
  }

  // The previous result stays open until now, so that a search whose index
  // file is missing leaves it readable for the final narrowing.
  CloseResultFile();
  // A fresh file rather than a truncated one: the file system flushes a
  // file that was truncated and rewritten when it is closed, which would
  // cost a disk write at every search. Made exclusively, it is a regular
  // file of this search's own, whatever stood at the name.
  files::Remove(kResultFileName);
  files::File copy = files::Open(kResultFileName, files::kReadWrite | files::kCreate | files::kExclusive, 0666);
  if (!copy.IsOpen()) {
    NoteIncomplete(files::ErrorText("create", kResultFileName, errno));
    static const std::string openError = Cp932("*** Result_Tmp Open error ***");
    ErrorBox(openError);
    return false;
  }
  // A copy that fails ends the search without a word, as a failed read or
  // write always has; the half copy goes, so that nothing reads it later.
  bool readFailed = false;
  if (!CopyFile(index, copy, readFailed) || copy.Close() != 0) {
    NoteIncomplete(readFailed ? files::HostErrorText("read", indexName, errno)
                              : files::ErrorText("write", kResultFileName, errno));
    copy.Close();
    files::Remove(kResultFileName);
    return false;
  }
  index.Close();

  state_.ResultFile = files::Open(kResultFileName, files::kReadWrite | files::kRegularFile);
  if (!state_.ResultFile.IsOpen()) {
    NoteIncomplete(files::ErrorText("open", kResultFileName, errno));
    return false;
  }
  return true;
}

}  // namespace search::engine
