// "最終絞り込みのみ": a complete search, then a second display pass over the
// result file with the query as the search left it.
#include "search/engine/search_session.h"

namespace search::engine {

void SearchSession::FinalNarrowing() {
  // A failure inside the search does not stop the second pass: it then
  // reads whatever result file is still open.
  StartSearch();
  NormaliseBlankLetters();
  if (!ReloadDataDirectory()) return;
  ShowState();
  ShowResult();
  ReadBackState();
}

}  // namespace search::engine
