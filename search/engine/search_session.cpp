#include "search/engine/search_session.h"

#include <cerrno>
#include <utility>  // std::move

#include "platform/files/file.h"
#include "search/engine/engine_texts.h"
#include "search/engine/settings_file.h"

namespace search::engine {

SearchSession::SearchSession(DialogSide& dialog) : dialog_(dialog) {}

SearchSession::~SearchSession() { CloseResultFile(); }

void SearchSession::InitialiseDialog() {
  SetStatus(SearchFinishedStatus());
  state_.RestRetryActive = 0;
  state_.RestRetryCount = 0;
  // An existing directory is fine; any other failure shows later, when a
  // quick file cannot be written.
  platform::files::MakeDirectory(kQuickDirectory);
}

void SearchSession::ShowState() { search::engine::ShowState(state_, dialog_); }

bool SearchSession::ReadBackState() { return search::engine::ReadBackState(state_, dialog_); }

void SearchSession::NormaliseBlankLetters() { search::engine::NormaliseBlankLetters(state_); }

void SearchSession::SetStatus(const std::string& text) { search::engine::SetStatus(dialog_, text); }

void SearchSession::SetPageLabel(const std::string& text) { search::engine::SetPageLabel(dialog_, text); }

void SearchSession::CloseResultFile() {
  state_.ResultFile.Close();
  reader_.Reset();
}

void SearchSession::ErrorBox(const std::string& text) { dialog_.MessageBox(ErrorCaption(), text); }

void SearchSession::NoteIncomplete(std::string reason) {
  if (incomplete_.empty()) incomplete_ = std::move(reason);
}

bool SearchSession::ReloadDataDirectory() {
  std::optional<std::string> directory = ReadSettings();
  if (!directory) {
    NoteIncomplete(platform::files::ErrorText("read", kSettingsFileName, errno));
    ErrorBox(SettingsErrorText());
    return false;
  }
  state_.DataDirectory = *directory;
  return true;
}

}  // namespace search::engine
