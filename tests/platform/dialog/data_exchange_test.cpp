#include "platform/dialog/data_exchange.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

using DataExchangeTest = ScriptTest;

TEST_F(DataExchangeTest, ShowingPutsMembersInControlsAndLimitsTyping) {
  MainDialog d;
  d.letter = Sj("ｱ");
  d.result = Sj("一行目\r\n二行目");
  backend_.Escape();
  d.DoModal();
  const auto* w = backend_.Find(kMainDialogId);
  EXPECT_EQ(w->ControlText(kLetterEdit), Sj("ｱ"));
  EXPECT_EQ(w->ControlText(kResultEdit), Sj("一行目\r\n二行目"));
  EXPECT_EQ(w->TextLimit(kLetterEdit), 1);
  EXPECT_EQ(w->TextLimit(kResultEdit), 100000);
}

TEST_F(DataExchangeTest, ReadBackStopsAtTheFieldThatIsTooLong) {
  MainDialog d;
  int focusAfter = 0;
  backend_
      .Do([&] {
        d.SetText(kLetterEdit, Sj("ｲ"));
        d.SetText(kCityEdit, Sj("ｶｷ"));  // two bytes where one is allowed
        d.SetText(kResultEdit, Sj("新しい結果"));
      })
      .Click(kIdOk)
      .Answer(kIdOk)
      .Do([&] { focusAfter = d.Focused(); })
      .Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);  // the OK did not end the dialog
  EXPECT_EQ(d.letter, Sj("ｲ"));       // read before the failing field
  EXPECT_EQ(d.city, "");              // the failing field keeps its member
  EXPECT_EQ(d.result, "");            // after it: not read
  EXPECT_EQ(focusAfter, kCityEdit);
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = backend_.MessageBoxes()[0];
  EXPECT_EQ(box.text, Sj("1 文字以内で入力してください。"));
  EXPECT_EQ(box.caption, Sj("デモ"));
  EXPECT_EQ(box.buttons, Buttons::kOk);
}

TEST_F(DataExchangeTest, ReadBackOfFieldsWithinTheirLimitsPasses) {
  MainDialog d;
  bool passed = false;
  backend_
      .Do([&] {
        d.SetText(kCityEdit, Sj("ｶ"));
        passed = d.ReadBackMembers();
      })
      .Escape();
  d.DoModal();
  EXPECT_TRUE(passed);
  EXPECT_EQ(d.city, Sj("ｶ"));
  EXPECT_TRUE(backend_.MessageBoxes().empty());
}

TEST_F(DataExchangeTest, LengthsCountCp932BytesNotCharacters) {
  MainDialog d;
  bool kanaPassed = false, wideKanaPassed = true;
  backend_
      .Do([&] {
        // ｶ: one byte in CP932 (three in UTF-8) fits a one-byte field.
        d.SetText(kLetterEdit, Sj("ｶ"));
        kanaPassed = d.ReadBackMembers();
        // ア: one character, but two bytes.
        d.SetText(kLetterEdit, Sj("ア"));
        wideKanaPassed = d.ReadBackMembers();
      })
      .Answer(kIdOk)
      .Escape();
  d.DoModal();
  EXPECT_TRUE(kanaPassed);
  EXPECT_FALSE(wideKanaPassed);
  EXPECT_EQ(d.letter, Sj("ｶ"));
  EXPECT_EQ(backend_.MessageBoxes().size(), 1u);
}

TEST_F(DataExchangeTest, TheMessageNamesTheLimit) {
  EXPECT_EQ(TooLongMessage(499), platform::text::Cp932("499 文字以内で入力してください。"));
}

// A dialog exchanging a check box and a radio group.
class ChoiceDialog : public Dialog {
 public:
  ChoiceDialog() : Dialog(MainTemplate()) {}
  int mode = 1;
  int target = -1;
  int option = 1;

 protected:
  void DoDataExchange(DataExchange& dx) override {
    dx.Radio(kModeLeft, mode).Radio(kTargetFirst, target).Check(kOptionCheck, option);
  }
};

TEST_F(DataExchangeTest, RadioGroupsAndCheckBoxesTravelBothWays) {
  ChoiceDialog d;
  int shownRight = 0, shownTarget = 0, shownOption = 0;
  backend_
      .Do([&] {
        shownRight = d.Check(kModeRight);
        shownTarget = d.CheckedRadio(kTargetFirst);
        shownOption = d.Check(kOptionCheck);
        d.CheckRadio(kModeLeft);
        d.CheckRadio(1140);
        d.SetCheck(kOptionCheck, 0);
      })
      .Click(kIdOk);
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(shownRight, 1);
  EXPECT_EQ(shownTarget, kNoId);  // -1 shows the group with none checked
  EXPECT_EQ(shownOption, 1);
  EXPECT_EQ(d.mode, 0);
  EXPECT_EQ(d.target, 2);
  EXPECT_EQ(d.option, 0);
}

}  // namespace
}  // namespace demo
