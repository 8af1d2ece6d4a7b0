#include "platform/dialog/template.h"

#include <gtest/gtest.h>

#include "tests/platform/dialog/demo_dialog.h"

namespace platform::dialog {
namespace {

TEST(Template, FindsControlsByIdButNeverTheUnnamed) {
  const DialogTemplate& t = demo::MainTemplate();
  ASSERT_NE(FindControl(t, demo::kSearchButton), nullptr);
  EXPECT_EQ(FindControl(t, demo::kSearchButton)->kind, ControlKind::kPushButton);
  EXPECT_EQ(FindControl(t, 4711), nullptr);
  // Several labels share kNoId; asking for it must not pick one at random.
  EXPECT_EQ(FindControl(t, kNoId), nullptr);
}

TEST(Template, RadioGroupRunsFromItsGroupMarkToTheNext) {
  const DialogTemplate& t = demo::MainTemplate();
  std::vector<int> targets = {1138, 1139, 1140, 1141};
  EXPECT_EQ(RadioGroupOf(t, 1138), targets);
  EXPECT_EQ(RadioGroupOf(t, 1140), targets);  // asked from the middle
  EXPECT_EQ(RadioGroupOf(t, demo::kModeRight), (std::vector<int>{demo::kModeLeft, demo::kModeRight}));
}

TEST(Template, RadioGroupOfSomethingElseIsEmpty) {
  const DialogTemplate& t = demo::MainTemplate();
  EXPECT_TRUE(RadioGroupOf(t, demo::kSearchButton).empty());
  EXPECT_TRUE(RadioGroupOf(t, 4711).empty());
}

TEST(Template, RadioGroupSkipsOtherKindsInsideTheRun) {
  DialogTemplate t;
  t.controls = {
      {10, ControlKind::kRadioButton, "a", {}, kGroup}, {kNoId, ControlKind::kStatic, "label", {}},
      {11, ControlKind::kRadioButton, "b", {}},         {12, ControlKind::kEdit, "", {}, kGroup},
      {13, ControlKind::kRadioButton, "c", {}},
  };
  EXPECT_EQ(RadioGroupOf(t, 11), (std::vector<int>{10, 11}));
  EXPECT_EQ(RadioGroupOf(t, 13), (std::vector<int>{13}));
}

TEST(Template, DefaultButtonIsTheMarkedOneElseOk) {
  EXPECT_EQ(DefaultButtonOf(demo::MainTemplate()), kIdOk);
  DialogTemplate t;
  t.controls = {{kIdOk, ControlKind::kPushButton, "OK", {}},
                {kIdCancel, ControlKind::kPushButton, "戻る", {}, kDefault}};
  EXPECT_EQ(DefaultButtonOf(t), kIdCancel);
  t.controls[1].style = 0;
  EXPECT_EQ(DefaultButtonOf(t), kIdOk);
}

TEST(TemplateCheck, NamesEachFaultAndPassesASoundTemplate) {
  EXPECT_TRUE(TemplateProblems(demo::MainTemplate()).empty());
  const DialogTemplate t = {.id = 7,
                            .width = 100,
                            .height = 50,
                            .controls = {
                                PushButton(kIdOk, "OK", {50, 30, 50, 20}, kDefault),  // touches the edges: inside
                                PushButton(kIdCancel, "x", {60, 5, 41, 14}, kDefault), Edit(1204, {-1, 0, 10, 10}),
                                Edit(1204, {0, 45, 10, 6}), Label("\xE2\x80", {0, 0, 10, 8}),  // a cut UTF-8 character
                            }};
  std::vector<std::string> problems = TemplateProblems(t);
  ASSERT_EQ(problems.size(), 6u);
  EXPECT_EQ(problems[0], "dialog 7: control 2 at 60, 5 size 41 x 14 lies outside the dialog's 100 x 50");
  EXPECT_EQ(problems[1], "dialog 7: control 2 is a second default button");
  EXPECT_EQ(problems[2], "dialog 7: control 1204 at -1, 0 size 10 x 10 lies outside the dialog's 100 x 50");
  EXPECT_EQ(problems[3], "dialog 7: control 1204 is used twice");
  EXPECT_EQ(problems[4], "dialog 7: control 1204 at 0, 45 size 10 x 6 lies outside the dialog's 100 x 50");
  EXPECT_EQ(problems[5], "dialog 7: control without ID at row 5: the text has no CP932 form");
}

TEST(Template, TextsBecomeCp932) {
  // ｷ U+FF77 HALFWIDTH KATAKANA LETTER KI is one byte; 設 two.
  EXPECT_EQ(TemplateText("ｷ"), "\xB7");
  EXPECT_EQ(TemplateText("設"), "\x90\xdd");
  EXPECT_EQ(TemplateText("OK"), "OK");
}

}  // namespace
}  // namespace platform::dialog
