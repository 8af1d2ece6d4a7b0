#include "search/ui/main_dialog.h"

#include <optional>

#include "platform/dialog/data_exchange.h"  // TooLongMessage
#include "platform/dialog/message_box.h"    // ActiveWindow
#include "platform/dialog/resources.h"
#include "platform/dialog/window.h"
#include "platform/help_viewer.h"
#include "platform/text/cp932.h"
#include "search/engine/engine_texts.h"
#include "search/engine/settings_file.h"
#include "search/ui/keypad_keys.h"
#include "search/ui/model/outside_text.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {
namespace {

namespace dlg = platform::dialog;
using dlg::Notification;
using engine::Field;

// The control that shows each field of the search state.
struct FieldControl {
  Field field;
  int control;
};
constexpr FieldControl kFieldControls[] = {
    {Field::kDetailFirstLetter, kDetailFirstLetterEdit},
    {Field::kDetailSecondLetter, kDetailSecondLetterEdit},
    {Field::kPrefectureLetter, kPrefectureLetterEdit},
    {Field::kWardLetter, kWardLetterEdit},
    {Field::kCityLetter, kCityLetterEdit},
    {Field::kRoughTownLetter, kRoughTownLetterEdit},
    {Field::kNarrowingString, kNarrowingEdit},
    {Field::kResultText, kResultEdit},
};

int ControlOf(Field field) {
  for (const FieldControl& row : kFieldControls)
    if (row.field == field) return row.control;
  return dlg::kNoId;
}

// The radio button that shows each selector of the input model.
struct SelectorControl {
  Selector selector;
  int control;
};
constexpr SelectorControl kSelectorControls[] = {
    {Selector::kLeftMode, kLeftModeRadio},
    {Selector::kRightMode, kRightModeRadio},
    {Selector::kPrefecture, kPrefectureSelector},
    {Selector::kCity, kCitySelector},
    {Selector::kWard, kWardSelector},
    {Selector::kRoughTown, kRoughTownSelector},
    {Selector::kDetailFirst, kDetailFirstSelector},
    {Selector::kDetailSecond, kDetailSecondSelector},
    {Selector::kNarrowing, kNarrowingSelector},
};

int ControlOf(Selector selector) {
  for (const SelectorControl& row : kSelectorControls)
    if (row.selector == selector) return row.control;
  return dlg::kNoId;
}

}  // namespace

MainDialog::MainDialog() : Dialog(kMainDialogTemplate) {
  // The kana, sign and digit keys each pass their byte; the blank keys are
  // not in the table and stay unbound.
  BindKeys(kKeypadKeys, [this](char byte) { Refresh(model_.EnterKey(byte)); });
  Bind(kSkipButton, Notification::kClicked, [this] { Refresh(model_.Skip()); });
  Bind(kBackButton, Notification::kClicked, [this] { Refresh(model_.Back()); });
  Bind(kDeleteLastCharacterButton, Notification::kClicked, [this] { Refresh(model_.DeleteLastCharacter()); });
  Bind(kClearSelectionButton, Notification::kClicked, [this] { Refresh(model_.ClearSelection()); });
  for (const SelectorControl& row : kSelectorControls)
    Bind(row.control, Notification::kClicked,
         [this, selector = row.selector] { Refresh(model_.ClickSelector(selector)); });
  for (const FieldControl& row : kFieldControls)
    if (row.field != Field::kResultText)
      Bind(row.control, Notification::kSetFocus, [this, field = row.field] { Refresh(model_.FocusField(field)); });

  Bind(kSearchButton, Notification::kClicked, [this] {
    session_.StartSearch();
    TellIncompleteSearch();
  });
  Bind(kFinalNarrowingButton, Notification::kClicked, [this] {
    session_.FinalNarrowing();
    TellIncompleteSearch();
  });
  Bind(kNextPageButton, Notification::kClicked, [this] { session_.NextPage(); });
  // The status button 1215 is an output line: pressing it does nothing.
}

// DialogSide.

void MainDialog::SetFieldText(Field field, const std::string& text) { SetText(ControlOf(field), text); }

std::string MainDialog::FieldText(Field field) { return Text(ControlOf(field)); }

void MainDialog::ReportTooLong(Field field, std::size_t maxBytes) {
  Dialog::MessageBox(dlg::TooLongMessage(maxBytes));
  SetFocusTo(ControlOf(field));
}

void MainDialog::SetStatusCaption(const std::string& text) { SetText(kStatusButton, text); }

void MainDialog::SetPageCaption(const std::string& text) { SetText(kNextPageButton, text); }

void MainDialog::MessageBox(const std::string& caption, const std::string& text) { Dialog::MessageBox(text, caption); }

// The window's life.

bool MainDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  session_.ShowState();
  std::string about = dlg::LoadString(kAboutMenuString);
  if (!about.empty()) {
    AppendSystemMenuSeparator();
    AppendSystemMenuItem(kAboutSysCommand, about);
  }
  // The window manager draws a minimised window, and the image dragged
  // from one, with this icon: the dialog has no paint or drag hook of its
  // own for them.
  SetIcon(dlg::LoadIcon(kAppIcon), true);
  SetIcon(dlg::LoadIcon(kAppIcon), false);
  model_.ResetTarget();
  ShowSelectors();
  session_.InitialiseDialog();
  return true;
}

void MainDialog::OnShowWindow(bool shown) {
  Dialog::OnShowWindow(shown);
  // Setting the timer again replaces the one that runs.
  SetTimer(kMarqueeTimer, kMarqueeIntervalMs);
  std::optional<std::string> directory = engine::ReadSettings();
  if (!directory) {
    Dialog::MessageBox(engine::SettingsErrorText(), engine::ErrorCaption());
    return;
  }
  session_.State().DataDirectory = *directory;
  session_.ShowState();
}

void MainDialog::OnTimer(int id) {
  // Every tick, whatever its timer, moves the marquee on: in the title of
  // the active window (this dialog, one of its dialogs or a message box),
  // or of this dialog when there is none.
  std::string title = marquee_.MarqueeTick();
  if (dlg::Window* active = dlg::ActiveWindow())
    active->SetTitle(title);
  else
    SetTitle(title);
  Dialog::OnTimer(id);
}

void MainDialog::OnSysCommand(int command) {
  // The about entry answers to 16 to 31: the lowest four bits are the
  // system's own.
  if ((command & 0xFFF0) == kAboutSysCommand) {
    Dialog about(kAboutBoxTemplate);
    about.DoModal();
    return;
  }
  Dialog::OnSysCommand(command);
}

void MainDialog::OnDestroy() {
  platform::QuitHelp();
  Dialog::OnDestroy();
}

void MainDialog::OnOK() {
  if (session_.ReadBackState()) EndDialog(dlg::kIdOk);
}

void MainDialog::TellIncompleteSearch() {
  const std::string& reason = session_.IncompleteReason();
  if (reason.empty()) return;
  // Whatever the boxes said, a search that stopped half way shows nothing:
  // the result box keeps no earlier result that would pass for this one.
  engine::SearchState& state = session_.State();
  state.ResultText.clear();
  for (std::string& page : state.PageText) page.clear();
  state.PagePosition = 0;
  session_.ShowState();
  static const std::string lastPage = platform::text::Cp932("これだけです。");
  session_.SetPageLabel(lastPage);
  static const std::string incomplete = platform::text::Cp932("＊＊ 検索を最後まで終えられませんでした。＊＊\r\n");
  Dialog::MessageBox(incomplete + BoxLine(reason), engine::ErrorCaption());
}

// Showing the input target.

void MainDialog::Refresh(InputModel::Refresh refresh) {
  if (refresh == InputModel::Refresh::kStateAndSelectors) session_.ShowState();
  ShowSelectors();
}

void MainDialog::ShowSelectors() {
  SelectorChecks checks = model_.Checks();
  for (Selector selector : {checks.mode, checks.left, checks.right}) CheckRadio(ControlOf(selector));
}

}  // namespace search::ui
