#include "platform/dialog/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

using RadioGroups = ScriptTest;

TEST_F(RadioGroups, AGroupCanBeShownWithNoneChecked) {
  MainDialog d;
  int checked = 0;
  backend_.Do([&] { checked = d.CheckedRadio(kTargetFirst); }).Escape();
  d.DoModal();
  EXPECT_EQ(checked, kNoId);
  const auto* w = backend_.Find(kMainDialogId);
  for (int id = kTargetFirst; id <= kTargetLast; ++id) EXPECT_EQ(w->CheckState(id), 0) << id;
  EXPECT_EQ(w->CheckState(kModeLeft), 1);
}

TEST_F(RadioGroups, ChoosingChecksWithinItsOwnGroupOnly) {
  MainDialog d;
  backend_.Choose(1139).Choose(1141).Escape();
  d.DoModal();
  const auto* w = backend_.Find(kMainDialogId);
  EXPECT_EQ(w->CheckState(1139), 0);
  EXPECT_EQ(w->CheckState(1141), 1);
  EXPECT_EQ(w->CheckState(kModeLeft), 1);  // the other group is untouched
  EXPECT_EQ(d.targetClicks, (std::vector<int>{1139, 1141}));
}

TEST_F(RadioGroups, CheckRadioClearsTheRestAndUncheckingAllWorks) {
  MainDialog d;
  int afterCheck = 0, afterClear = 0;
  backend_
      .Do([&] {
        d.CheckRadio(kModeRight);
        afterCheck = d.CheckedRadio(kModeLeft);
        d.SetCheck(kModeRight, 0);
        afterClear = d.CheckedRadio(kModeLeft);
      })
      .Escape();
  d.DoModal();
  EXPECT_EQ(afterCheck, kModeRight);
  EXPECT_EQ(afterClear, kNoId);
}

TEST_F(RadioGroups, ChoosingSomethingElseIsAScriptFault) {
  expectErrors_ = true;
  MainDialog d;
  backend_.Choose(kSearchButton).Escape();
  d.DoModal();
  EXPECT_EQ(d.searches, 0);
  EXPECT_EQ(backend_.Errors().size(), 1u);
}

using Focus = ScriptTest;

TEST_F(Focus, DisabledControlsCannotBeClickedOrFocused) {
  expectErrors_ = true;
  MainDialog d;
  backend_.Click(kOptionCheck).Focus(kOptionCheck).Escape();
  d.DoModal();
  EXPECT_EQ(backend_.Find(kMainDialogId)->CheckState(kOptionCheck), 0);
  EXPECT_EQ(backend_.Errors().size(), 2u);
}

using Typing = ScriptTest;

TEST_F(Typing, EachCharacterIsAChangeAndEnterInAWantReturnEditIsCrLf) {
  MainDialog d;
  backend_.Type(kSearchEdit, Sj("aｶ\r")).Enter().Escape();
  d.DoModal();
  EXPECT_EQ(d.searchChanges, (std::vector<std::string>{"a", Sj("aｶ"), Sj("aｶ\r\n"), Sj("aｶ\r\n\r\n")}));
  EXPECT_EQ(backend_.Find(kMainDialogId)->Result(), kIdCancel);
}

TEST_F(Typing, BackspaceRemovesAWholeCharacter) {
  MainDialog d;
  // ソ is 0x83 0x5C: its trail byte must not be taken for a character.
  backend_.Type(kSearchEdit, Sj("aソ") + "\b").Type(kSearchEdit, "\b\b").Escape();
  d.DoModal();
  EXPECT_EQ(d.searchChanges, (std::vector<std::string>{"a", Sj("aソ"), "a", ""}));
}

// An edit that the focus reaches by a tab stop has its whole text
// selected, as on Qt and the terminal: a character or a line break
// replaces it, backspace removes it alone. Reached by a click, the text
// is added to.
TEST_F(Typing, ATextThatATabStopSelectedIsReplacedAndAClickedOneAddedTo) {
  MainDialog d;
  auto round = [this] { backend_.Tab().Tab().Tab().Tab(); };  // back to the search edit
  backend_.Type(kSearchEdit, "ab");
  round();
  backend_.Type(kSearchEdit, "c").Type(kSearchEdit, "d");
  round();
  backend_.Type(kSearchEdit, "\bx");
  round();
  backend_.Enter().Click(kSearchButton).Click(kSearchEdit).Type(kSearchEdit, "y").Escape();
  d.DoModal();
  EXPECT_EQ(d.searchChanges, (std::vector<std::string>{"a", "ab", "c", "cd", "", "x", "\r\n", "\r\ny"}));
}

TEST_F(Typing, EnterInAOneLineEditPressesTheDefaultButton) {
  SettingsDialog d;
  backend_.Type(kPathEdit, "c:\\Zip\r\n");
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(d.path, "c:\\Zip");
}

TEST_F(Typing, AReadOnlyEditTakesNoTyping) {
  expectErrors_ = true;
  MainDialog d;
  backend_.Type(kLetterEdit, "x").Escape();
  d.DoModal();
  EXPECT_EQ(backend_.Find(kMainDialogId)->ControlText(kLetterEdit), "");
  EXPECT_EQ(d.focusEvents, (std::vector<int>{kLetterEdit}));
  EXPECT_EQ(backend_.Errors().size(), 1u);
}

using Script = ScriptTest;

TEST_F(Script, RunningOutEndsTheDialogWithMinusOneAndSaysSo) {
  expectErrors_ = true;
  MainDialog d;
  EXPECT_EQ(d.DoModal(), -1);
  ASSERT_EQ(backend_.Errors().size(), 1u);
  EXPECT_NE(backend_.Errors()[0].find("dialog 102"), std::string::npos);
}

TEST_F(Script, EventsForAControlTheDialogLacksAreFaultsThatNameIt) {
  expectErrors_ = true;
  MainDialog d;
  std::string text = "unchanged";
  backend_.Click(4711)
      .Choose(4711)
      .Focus(4711)
      .Type(4711, "x")
      .Do([&] {
        // The dialog's own calls on it do nothing and read as empty.
        d.SetText(4711, "y");
        d.Enable(4711, true);
        d.SetFocusTo(4711);
        text = d.Text(4711);
      })
      .Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(text, "");
  ASSERT_EQ(backend_.Errors().size(), 4u);
  for (const std::string& e : backend_.Errors())
    EXPECT_NE(e.find("no control 4711 of dialog 102"), std::string::npos) << e;
}

TEST_F(Script, WaitingFiresTimersOnTheVirtualClock) {
  MainDialog d;
  std::vector<int> ticks;
  auto note = [&] { ticks.push_back(d.ticks); };
  backend_.Wait(150).Do(note).Wait(74).Do(note).Wait(1).Do(note).Escape();
  d.DoModal();
  EXPECT_EQ(ticks, (std::vector<int>{2, 2, 3}));
  EXPECT_EQ(backend_.Now(), 225);
}

// The main dialog, ending itself at its first tick.
class EndOnFirstTick : public MainDialog {
 protected:
  void OnTimer(int id) override {
    MainDialog::OnTimer(id);
    EndDialog(5);
  }
};

TEST_F(Script, ATickThatEndsTheDialogIsItsLast) {
  EndOnFirstTick d;
  // One wait spans four intervals; the dialog asked to end at the first.
  backend_.Wait(300);
  EXPECT_EQ(d.DoModal(), 5);
  EXPECT_EQ(d.ticks, 1);
}

TEST_F(Script, TimersStopWithTheirDialog) {
  MainDialog d;
  backend_.Escape();
  d.DoModal();
  SettingsDialog s;
  backend_.Wait(1000).Click(kIdCancel);
  s.DoModal();
  EXPECT_EQ(d.ticks, 0);
}

}  // namespace
}  // namespace demo
