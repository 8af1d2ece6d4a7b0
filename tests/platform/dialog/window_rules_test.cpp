// The window rules: where the focus goes on Tab, Shift+Tab and the arrow
// keys, which control may take it, and what an automatic click checks,
// over a template and the controls' state alone.
#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog/window_rules.h"

namespace platform::dialog {
namespace {

enum : int {
  kName = 1,
  kLeftRadio,
  kMiddleRadio,
  kRightRadio,
  kOption,
  kFind,
  kClose,
  kPlainEdit,
  // A keypad: three rows of three 14-unit keys, the middle one blank, and a
  // wide key under them all.
  kA = 20,
  kB,
  kC,
  kD,
  kBlank,
  kF,
  kG,
  kH,
  kI,
  kWide,
};

const DialogTemplate kForm = {.id = 150,
                              .width = 200,
                              .height = 120,
                              .controls = {
                                  Label("名前", {5, 5, 30, 8}),
                                  Edit(kName, {40, 5, 60, 12}, kBorder | kTabStop),
                                  GroupBox("向き", {5, 20, 100, 20}),
                                  Radio(kLeftRadio, "左", {10, 28, 20, 10}, kAuto | kGroup | kTabStop),
                                  Radio(kMiddleRadio, "中", {35, 28, 20, 10}, kAuto),
                                  Radio(kRightRadio, "右", {60, 28, 20, 10}, kAuto),
                                  CheckBox(kOption, "詳しく", {5, 45, 50, 10}, kAuto | kGroup | kTabStop),
                                  PushButton(kFind, "検索", {120, 5, 50, 14}, kTabStop | kDisabled),
                                  PushButton(kClose, "閉じる", {120, 25, 50, 14}, kTabStop),
                                  Edit(kPlainEdit, {5, 60, 60, 12}, kBorder),
                              }};

const DialogTemplate kKeypad = {.id = 151,
                                .width = 100,
                                .height = 80,
                                .controls = {
                                    PushButton(kA, "ｱ", {0, 0, 14, 14}),
                                    PushButton(kB, "ｲ", {15, 0, 14, 14}),
                                    PushButton(kC, "ｳ", {30, 0, 14, 14}),
                                    PushButton(kD, "ｶ", {0, 15, 14, 14}),
                                    PushButton(kBlank, "", {15, 15, 14, 14}, kDisabled),
                                    PushButton(kF, "ｸ", {30, 15, 14, 14}),
                                    PushButton(kG, "ｻ", {0, 30, 14, 14}),
                                    PushButton(kH, "ｼ", {15, 30, 14, 14}),
                                    PushButton(kI, "ｽ", {30, 30, 14, 14}),
                                    PushButton(kWide, "検索", {50, 50, 40, 14}),
                                }};

// The template's state, which a case may change before asking.
struct Window {
  explicit Window(const DialogTemplate& t) : tmpl(t) {
    for (const ControlTemplate& c : t.controls) states.push_back(ControlState::FromTemplate(c));
  }
  ControlState& State(int id) {
    for (ControlState& s : states)
      if (s.tmpl->id == id) return s;
    return states.front();
  }
  WindowRules Rules() const {
    return WindowRules(tmpl, [this](std::size_t i) { return states[i]; });
  }
  const DialogTemplate& tmpl;
  std::vector<ControlState> states;
};

TEST(WindowRules, OnlyEnabledVisibleButtonsAndEditsWithAnIdTakeTheFocus) {
  Window w(kForm);
  WindowRules rules = w.Rules();
  EXPECT_TRUE(rules.TakesFocus(kName));
  EXPECT_TRUE(rules.TakesFocus(kPlainEdit));  // no tab stop, but a click reaches it
  EXPECT_FALSE(rules.TakesFocus(kFind));      // disabled
  EXPECT_FALSE(rules.TakesFocus(kNoId));      // the label and the group box
  w.State(kName).visible = false;
  EXPECT_FALSE(w.Rules().TakesFocus(kName));
  EXPECT_FALSE(Window(kKeypad).Rules().TakesFocus(kBlank));
}

TEST(WindowRules, TabGoesOnFromWhereTheFocusIsAndPassesOverWhatCannotTakeIt) {
  Window w(kForm);
  WindowRules rules = w.Rules();
  EXPECT_EQ(rules.FirstTabStop(), kName);
  EXPECT_EQ(rules.NextTabStop(kNoId, true), kClose);
  // From a control without a tab stop, the next one after it in order.
  EXPECT_EQ(rules.NextTabStop(kMiddleRadio, false), kOption);
  EXPECT_EQ(rules.NextTabStop(kOption, false), kClose);  // the disabled button is passed over
  EXPECT_EQ(rules.NextTabStop(kClose, false), kName);    // round the end
  EXPECT_EQ(rules.NextTabStop(kClose, true), kOption);
  FocusMove back = rules.Move(kName, MoveKey::kBackTab);
  EXPECT_TRUE(back.taken && back.selectText);
  EXPECT_EQ(back.target, kClose);
  for (ControlState& s : w.states) s.enabled = false;
  EXPECT_EQ(w.Rules().FirstTabStop(), kNoId);
}

TEST(WindowRules, ArrowKeysWalkARadioGroupRoundItsEndsClickingAutomaticMembers) {
  Window w(kForm);
  w.State(kMiddleRadio).enabled = false;
  WindowRules rules = w.Rules();
  FocusMove down = rules.Move(kLeftRadio, MoveKey::kDown);
  EXPECT_TRUE(down.taken && down.click && !down.selectText);
  EXPECT_EQ(down.target, kRightRadio);  // past the disabled member
  EXPECT_EQ(rules.Move(kRightRadio, MoveKey::kRight).target, kLeftRadio);
  EXPECT_EQ(rules.Move(kLeftRadio, MoveKey::kUp).target, kRightRadio);
  // An edit keeps the arrow keys for its caret, a check box lets them pass.
  EXPECT_FALSE(rules.Move(kName, MoveKey::kLeft).taken);
  EXPECT_FALSE(rules.Move(kOption, MoveKey::kDown).taken);
}

TEST(WindowRules, ArrowKeysGoToTheNearestEnabledKeyOfTheGridInThatDirection) {
  Window w(kKeypad);
  WindowRules rules = w.Rules();
  struct Step {
    int from;
    MoveKey key;
    int to;
  };
  for (const Step& s : std::vector<Step>{
           {kA, MoveKey::kRight, kB},
           {kB, MoveKey::kDown, kH},  // over the blank key
           {kD, MoveKey::kRight, kF},
           {kF, MoveKey::kLeft, kD},
           {kH, MoveKey::kUp, kB},
           {kC, MoveKey::kDown, kF},
           {kI, MoveKey::kDown, kWide},  // no key level: the nearest below
           {kC, MoveKey::kRight, kWide},
           {kA, MoveKey::kUp, kNoId},  // nothing there: the focus stays
       }) {
    FocusMove move = rules.Move(s.from, s.key);
    EXPECT_TRUE(move.taken);
    EXPECT_EQ(move.target, s.to) << "from " << s.from << " key " << static_cast<int>(s.key);
  }
  // With no key level below, the nearest by middles: of two as near, the
  // first in the template.
  w.State(kH).visible = false;
  EXPECT_EQ(w.Rules().Move(kB, MoveKey::kDown).target, kD);
}

TEST(WindowRules, AnAutomaticClickChecksItsRadioAloneOrFlipsItsCheckBox) {
  Window w(kForm);
  w.State(kLeftRadio).check = 1;
  w.State(kOption).check = 1;
  WindowRules rules = w.Rules();
  std::vector<CheckChange> radio = rules.ChecksOnClick(kRightRadio);
  ASSERT_EQ(radio.size(), 3u);
  EXPECT_EQ(radio[0].id, kLeftRadio);
  EXPECT_EQ(radio[0].check, 0);
  EXPECT_EQ(radio[2].id, kRightRadio);
  EXPECT_EQ(radio[2].check, 1);
  std::vector<CheckChange> option = rules.ChecksOnClick(kOption);
  ASSERT_EQ(option.size(), 1u);
  EXPECT_EQ(option[0].check, 0);
  EXPECT_TRUE(rules.ChecksOnClick(kClose).empty());
}

}  // namespace
}  // namespace platform::dialog
