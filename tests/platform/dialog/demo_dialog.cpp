#include "tests/platform/dialog/demo_dialog.h"

#include "platform/dialog/message_box.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/template_registry.h"
#include "platform/dialog/window.h"
#include "platform/help_viewer.h"
#include "platform/text/cp932.h"

namespace demo {

using platform::text::Cp932;
using namespace platform::dialog;

// Resources, in the order the dialogs use them:
//   menu 129          the main dialog's menu bar
//   dialog 102        the main dialog
//   dialog 130        the settings dialog

const MenuTemplate kMenu = {kMenuId,
                            {
                                {kSettingsCommand, "初期設定画面"},
                                {kAboutCommand, "情報"},
                                {kHelpMenuCommand, "ヘルプ"},
                            }};

const DialogTemplate kMain = {
    .id = kMainDialogId,
    .caption = "デモ",
    .width = 200,
    .height = 120,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu | kTaskBar,
    .menu = &kMenu,
    .controls = {
        Label("郵便番号検索デモ", {7, 4, 120, 8}),
        GroupBox("入力", {5, 14, 110, 50}),
        Radio(kModeLeft, "左", {10, 24, 30, 10}, kAuto | kGroup),
        Radio(kModeRight, "右", {45, 24, 30, 10}, kAuto),
        Radio(1138, "", {10, 36, 12, 10}, kAuto | kGroup),
        Radio(1139, "", {26, 36, 12, 10}, kAuto),
        Radio(1140, "", {42, 36, 12, 10}, kAuto),
        Radio(1141, "", {58, 36, 12, 10}, kAuto),
        Edit(kLetterEdit, {10, 48, 16, 12}, kReadOnly | kBorder | kGroup),
        Edit(kCityEdit, {30, 48, 16, 12}, kReadOnly | kBorder),
        Edit(kSearchEdit, {120, 14, 72, 24}, kMultiLine | kWantReturn | kVScrollBar | kBorder | kTabStop),
        CheckBox(kOptionCheck, "オプション１", {120, 42, 60, 10}, kAuto | kDisabled),
        Edit(kResultEdit, {5, 68, 110, 40}, kMultiLine | kReadOnly | kRightAlign | kHScrollBar | kVScrollBar | kBorder),
        PushButton(kSearchButton, "検索開始", {120, 56, 50, 14}, kTabStop),
        PushButton(kIdOk, "終了", {120, 74, 50, 14}, kDefault | kTabStop),
        PushButton(kIdCancel, "ｷｬﾝｾﾙ", {120, 92, 50, 14}, kTabStop),
        Icon(kIconId, {176, 96, 20, 20}),
    }};

const DialogTemplate kSettings = {.id = kSettingsDialogId,
                                  .caption = "設定",
                                  .width = 150,
                                  .height = 60,
                                  .font = {"ＭＳ Ｐゴシック", 9},
                                  .style = kCaption | kCentreMouse,
                                  .controls = {
                                      Label("データーファイルのフルパス", {7, 7, 100, 8}),
                                      Edit(kPathEdit, {7, 18, 136, 12}, kBorder | kAutoHScroll | kTabStop),
                                      PushButton(kAskButton, "確認", {7, 38, 40, 14}, kTabStop),
                                      PushButton(kIdOk, "OK", {60, 38, 40, 14}, kDefault | kTabStop),
                                      PushButton(kIdCancel, "ｷｬﾝｾﾙ", {103, 38, 40, 14}, kTabStop),
                                  }};

// The demo's templates, for the check that runs over every program's.
const TemplateRegistration kTemplates("demo", {&kMain, &kSettings});

const DialogTemplate& MainTemplate() { return kMain; }
const DialogTemplate& SettingsTemplate() { return kSettings; }

SettingsDialog::SettingsDialog(Dialog* parent) : Dialog(kSettings, parent) {
  Bind(kAskButton, Notification::kClicked,
       [this] { lastAnswer = MessageBox(Cp932("保存しますか？"), Cp932("確認"), Buttons::kYesNo); });
}

void SettingsDialog::DoDataExchange(DataExchange& dx) { dx.Text(kPathEdit, path, 10); }

MainDialog::MainDialog() : Dialog(kMain) {
  Bind(kSearchButton, Notification::kClicked, [this] {
    ++searches;
    SetText(kResultEdit, Cp932("件数 ") + std::to_string(searches));
  });
  Bind(kSearchEdit, Notification::kChanged, [this] { searchChanges.push_back(Text(kSearchEdit)); });
  for (int id : {kLetterEdit, kCityEdit}) Bind(id, Notification::kSetFocus, [this, id] { focusEvents.push_back(id); });
  BindRange(kTargetFirst, kTargetLast, Notification::kClicked, [this](int id) { targetClicks.push_back(id); });
}

bool MainDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  AppendSystemMenuSeparator();
  AppendSystemMenuItem(kAboutSysCommand, Cp932("ﾊﾞｰｼﾞｮﾝ情報(デモ) (&A)..."));
  SetIcon(LoadIcon(kIconId), true);
  SetIcon(LoadIcon(kIconId), false);
  CheckRadio(kModeLeft);
  return true;
}

void MainDialog::OnShowWindow(bool) {
  ++shows;
  SetTimer(kMarqueeTimer, 75);
  if (endOnShow) EndDialog(kIdOk);
}

void MainDialog::OnTimer(int) {
  ++ticks;
  // The title of whatever window is active, as a marquee does.
  std::string title = Cp932("ティック ") + std::to_string(ticks);
  if (Window* active = ActiveWindow())
    active->SetTitle(title);
  else
    SetTitle(title);
}

void MainDialog::OnSysCommand(int command) {
  sysCommands.push_back(command);
  if ((command & 0xFFF0) == kAboutSysCommand)
    MessageBox(Cp932("デモ Version 1.00"));
  else
    Dialog::OnSysCommand(command);
}

void MainDialog::OnDestroy() { destroyed = true; }

void MainDialog::DoDataExchange(DataExchange& dx) {
  dx.Text(kLetterEdit, letter, 1).Text(kCityEdit, city, 1).Text(kResultEdit, result, 100000);
}

DemoApp::DemoApp() : App(Cp932("デモ")) {
  BindCommand(kSettingsCommand, [this] {
    ++settingsRuns;
    SettingsDialog settings;
    settings.DoModal();
  });
  BindCommand(kAboutCommand, [] { platform::dialog::MessageBox(Cp932("デモ Version 1.00")); });
  BindCommand(kHelpMenuCommand, [] { platform::ShowHelpContents(Cp932("c:\\デモ\\ヘルプ.hlp")); });
}

}  // namespace demo
