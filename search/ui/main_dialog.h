// The main dialog, which the whole application lives in. It is the one
// place where the search engine's state meets the controls: it implements
// the engine's DialogSide (each field shown in its control), forwards every
// button to one call of the engine or the keypad's input model, and runs
// the title marquee on its timer. It does no searching and keeps no query
// of its own: the SearchSession owns the state, the InputModel the target.
#pragma once

#include <string>

#include "platform/dialog/dialog.h"
#include "search/engine/dialog_side.h"
#include "search/engine/search_session.h"
#include "search/ui/model/input_model.h"
#include "search/ui/model/marquee.h"

namespace search::ui {

class MainDialog : public platform::dialog::Dialog, public engine::DialogSide {
 public:
  MainDialog();

  // DialogSide: what the engine shows and reads.
  void SetFieldText(engine::Field field, const std::string& text) override;
  std::string FieldText(engine::Field field) override;
  void ReportTooLong(engine::Field field, std::size_t maxBytes) override;
  void SetStatusCaption(const std::string& text) override;
  void SetPageCaption(const std::string& text) override;
  void MessageBox(const std::string& caption, const std::string& text) override;

 protected:
  bool OnInitDialog() override;
  void OnShowWindow(bool shown) override;
  void OnTimer(int id) override;
  void OnSysCommand(int command) override;
  void OnDestroy() override;
  // "終了" and Enter: the state is read back, and the dialog ends only when
  // its checks pass. Escape and the close box end it without reading back.
  void OnOK() override;

 private:
  // Shows what an input model operation asks for: the state, then the
  // selectors.
  void Refresh(InputModel::Refresh refresh);
  void ShowSelectors();
  // After a search that could not be completed (a failed copy, a failed
  // read): the result box and the pages emptied, and a box with the reason.
  void TellIncompleteSearch();

  engine::SearchSession session_{*this};
  InputModel model_{session_.State()};
  Marquee marquee_;
};

}  // namespace search::ui
