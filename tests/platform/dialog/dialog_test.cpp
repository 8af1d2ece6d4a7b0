#include "platform/dialog/dialog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>  // std::is_constructible_v
#include <vector>

#include "platform/dialog/resources.h"
#include "platform/dialog/window.h"
#include "platform/help_viewer.h"
#include "platform/seam.h"
#include "tests/platform/recording_help_viewer.h"
#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

// A dialog that writes down which hooks ran, in order.
class HookDialog : public Dialog {
 public:
  explicit HookDialog(bool endInInit = false) : Dialog(SettingsTemplate()), endInInit_(endInInit) {}
  std::vector<std::string> log;

 protected:
  bool OnInitDialog() override {
    log.push_back("init");
    if (endInInit_) EndDialog(42);
    return Dialog::OnInitDialog();
  }
  void OnShowWindow(bool shown) override { log.push_back(shown ? "show" : "hide"); }
  void OnDestroy() override { log.push_back("destroy"); }

 private:
  bool endInInit_;
};

using DialogHooks = ScriptTest;

TEST_F(DialogHooks, InitThenShowThenDestroyAndTheResultOfEndDialog) {
  HookDialog d;
  backend_.Click(kIdCancel);
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(d.log, (std::vector<std::string>{"init", "show", "destroy"}));
  EXPECT_FALSE(d.IsRunning());
}

TEST_F(DialogHooks, EndDialogInInitialisationNeverShowsTheDialog) {
  HookDialog d(true);
  EXPECT_EQ(d.DoModal(), 42);
  EXPECT_EQ(d.log, (std::vector<std::string>{"init", "destroy"}));
  EXPECT_FALSE(backend_.Find(kSettingsDialogId)->Shown());
}

TEST_F(DialogHooks, InitialisationSetsSystemMenuIconAndDefaultFocus) {
  RegisterIcon({kIconId, {{16, std::vector<std::uint32_t>(16 * 16, 0xFF0000FFu)}}});
  MainDialog d;
  int focused = kNoId;
  backend_.Do([&] { focused = d.Focused(); }).Click(kIdCancel);
  d.DoModal();
  const auto* w = backend_.Find(kMainDialogId);
  ASSERT_EQ(w->SystemMenu().size(), 2u);
  EXPECT_EQ(w->SystemMenu()[0].command, 0);  // the separator
  EXPECT_EQ(w->SystemMenu()[1].command, kAboutSysCommand);
  EXPECT_EQ(w->SystemMenu()[1].text, Sj("ﾊﾞｰｼﾞｮﾝ情報(デモ) (&A)..."));
  EXPECT_EQ(w->Icon(true), kIconId);
  EXPECT_EQ(w->Icon(false), kIconId);
  // The initialisation asked for the default focus: the first tab stop.
  EXPECT_EQ(focused, kSearchEdit);
  EXPECT_EQ(w->Result(), kIdCancel);
}

TEST_F(DialogHooks, ControlsDoNothingOutsideTheRun) {
  MainDialog d;
  d.letter = "x";
  d.SetText(kLetterEdit, "y");
  EXPECT_EQ(d.Text(kLetterEdit), "");
  // A read-back without controls would wipe the members.
  EXPECT_FALSE(d.ReadBackMembers());
  EXPECT_EQ(d.letter, "x");
}

// A dialog refers to its template; a temporary template is refused at
// compile time instead of dangling at run time.
static_assert(std::is_constructible_v<Dialog, const DialogTemplate&>);
static_assert(!std::is_constructible_v<Dialog, DialogTemplate&&>);

TEST_F(DialogHooks, DoModalOnARunningDialogIsRefused) {
  MainDialog d;
  int nested = 0;
  backend_.Do([&] { nested = d.DoModal(); }).Click(kIdCancel);
  d.DoModal();
  EXPECT_EQ(nested, -1);
}

using DialogKeys = ScriptTest;

TEST_F(DialogKeys, OkReadsBackAndEnds) {
  MainDialog d;
  backend_.Do([&] { d.SetText(kResultEdit, Sj("結果")); }).Click(kIdOk);
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(d.result, Sj("結果"));
}

TEST_F(DialogKeys, EscapeAndCloseBoxCancelWithoutReadingBack) {
  MainDialog d;
  backend_.Do([&] { d.SetText(kResultEdit, Sj("結果")); }).Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(d.result, "");
  MainDialog e;
  backend_.CloseBox();
  EXPECT_EQ(e.DoModal(), kIdCancel);
  EXPECT_EQ(e.sysCommands, (std::vector<int>{kCloseCommand}));
}

TEST_F(DialogKeys, EnterWithTheDefaultButtonDisabledDoesNothing) {
  MainDialog d;
  backend_.Do([&] { d.Enable(kIdOk, false); }).Focus(kCityEdit).Enter().Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
}

TEST_F(DialogKeys, ABindingOnTheCancelButtonReplacesTheDefault) {
  SettingsDialog d;
  int cancels = 0;
  d.Bind(kIdCancel, Notification::kClicked, [&] {
    if (++cancels == 2) d.EndDialog(7);
  });
  backend_.Escape().Click(kIdCancel);
  EXPECT_EQ(d.DoModal(), 7);
  EXPECT_EQ(cancels, 2);
}

TEST_F(DialogKeys, ASecondBindingReplacesTheFirst) {
  MainDialog d;
  int replaced = 0;
  d.Bind(kSearchButton, Notification::kClicked, [&] { ++replaced; });
  backend_.Click(kSearchButton).Escape();
  d.DoModal();
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(d.searches, 0);
}

TEST_F(DialogKeys, SettingAnEditsTextReportsAChangeButAButtonsDoesNot) {
  MainDialog d;
  backend_
      .Do([&] {
        d.SetText(kSearchEdit, "abc");
        d.SetText(kSearchButton, "x");
      })
      .Escape();
  d.DoModal();
  EXPECT_EQ(d.searchChanges, (std::vector<std::string>{"abc"}));
  EXPECT_EQ(backend_.Find(kMainDialogId)->ControlText(kSearchButton), "x");
}

// A strip of keys: 1202 is blank, 1204 a neighbour with a role of its own.
const DialogTemplate kKeyStrip = {.id = 140,
                                  .width = 100,
                                  .height = 20,
                                  .controls = {
                                      PushButton(1200, "あ", {0, 0, 14, 14}),
                                      PushButton(1201, "゛", {15, 0, 14, 14}),
                                      PushButton(1202, "", {30, 0, 14, 14}),
                                      PushButton(1203, "空白", {45, 0, 14, 14}),
                                      PushButton(1204, "戻る", {60, 0, 14, 14}),
                                  }};

const std::vector<KeyRow> kStripKeys = {{1200, "ｱ"}, {1201, "ﾞ"}, {1203, " "}};

TEST_F(DialogKeys, AKeyTableBindsItsButtonsToTheirBytesAndNothingElse) {
  Dialog d(kKeyStrip);
  std::string passed;
  d.BindKeys(kStripKeys, [&](char byte) { passed += byte; });
  backend_.Click(1200).Click(1201).Click(1202).Click(1203).Click(1204).Escape();
  d.DoModal();
  // ｱ U+FF71 is 0xB1, the voiced mark U+FF9E 0xDE, the blank 0x20.
  EXPECT_EQ(passed, "\xB1\xDE ");
}

TEST(DialogKeysDeathTest, AKeyTableRowThatCannotBeIsRefusedByName) {
  Dialog d(kKeyStrip);
  auto noop = [](char) {};
  EXPECT_DEATH(d.BindKeys({{1200, "ア"}}, noop), "key 1200 of dialog 140 does not pass one CP932 byte");
  EXPECT_DEATH(d.BindKeys({{1205, "ｱ"}}, noop), "key 1205 of dialog 140 is not a push button");
  EXPECT_DEATH(d.BindKeys({{1200, "ｱ"}, {1200, "ｲ"}}, noop), "key 1200 of dialog 140 comes twice");
}

using SystemMenu = ScriptTest;

TEST_F(SystemMenu, CommandsSixteenToThirtyOneReachTheHandlerAsSent) {
  MainDialog d;
  std::vector<int> sent;
  for (int command = 16; command <= 31; ++command) {
    sent.push_back(command);
    backend_.SysCommand(command).Answer(kIdOk);
  }
  backend_.Escape();
  d.DoModal();
  EXPECT_EQ(d.sysCommands, sent);
  // Every one of them opened the about box (the handler masks the low bits).
  ASSERT_EQ(backend_.MessageBoxes().size(), 16u);
  EXPECT_EQ(backend_.MessageBoxes()[15].text, Sj("デモ Version 1.00"));
}

TEST_F(SystemMenu, OtherCommandsGetTheDefaultHandling) {
  MainDialog d;
  backend_.SysCommand(32).SysCommand(kCloseCommand | 0x2);
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(d.sysCommands, (std::vector<int>{32, kCloseCommand | 0x2}));
  EXPECT_TRUE(backend_.MessageBoxes().empty());
}

using MenuCommands = ScriptTest;

TEST_F(MenuCommands, GoToTheApplicationWithItsNameAsCaption) {
  MainDialog d;
  backend_.MenuCommand(kAboutCommand).Answer(kIdOk).Escape();
  d.DoModal();
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_.MessageBoxes()[0].caption, Sj("デモ"));
}

TEST_F(MenuCommands, ADialogBindingComesBeforeTheApplication) {
  MainDialog d;
  int own = 0;
  d.Bind(kAboutCommand, Notification::kCommand, [&] { ++own; });
  backend_.MenuCommand(kAboutCommand).Escape();
  d.DoModal();
  EXPECT_EQ(own, 1);
  EXPECT_TRUE(backend_.MessageBoxes().empty());
}

TEST_F(MenuCommands, TheHelpCommandShowsTheApplicationsHelpFile) {
  RecordingHelpViewer help;
  platform::ScopedOverride useHelp(platform::HelpViewerInForce(), &help);
  app_.SetHelpFile("c:\\Zip_Code\\help.hlp");
  MainDialog d;
  backend_.Do([&] { DialogEvents::DeliverMenuCommand(d, kHelpCommand); }).Escape();
  d.DoModal();
  EXPECT_EQ(help.shown, (std::vector<std::string>{"c:\\Zip_Code\\help.hlp"}));
}

TEST_F(MenuCommands, ACommandNotOnTheMenuIsAScriptFault) {
  expectErrors_ = true;
  MainDialog d;
  backend_.MenuCommand(4711).Escape();
  d.DoModal();
  ASSERT_EQ(backend_.Errors().size(), 1u);
  EXPECT_NE(backend_.Errors()[0].find("no menu command 4711"), std::string::npos);
}

}  // namespace
}  // namespace demo
