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
      {10, ControlKind::kRadioButton, "a", {}, kGroup},
      {kNoId, ControlKind::kStatic, "label", {}},
      {11, ControlKind::kRadioButton, "b", {}},
      {12, ControlKind::kEdit, "", {}, kGroup},
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

TEST(Template, TextsBecomeCp932) {
  // ｷ U+FF77 HALFWIDTH KATAKANA LETTER KI is one byte; 設 two.
  EXPECT_EQ(TemplateText("ｷ"), "\xB7");
  EXPECT_EQ(TemplateText("設"), "\x90\xdd");
  EXPECT_EQ(TemplateText("OK"), "OK");
}

}  // namespace
}  // namespace platform::dialog
