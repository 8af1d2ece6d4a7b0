#include "search/ui/model/input_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/text/cp932.h"

namespace search::ui {
namespace {

using engine::Field;
using platform::text::Cp932;
using Refresh = InputModel::Refresh;

constexpr InputMode L = InputMode::kLeft;
constexpr InputMode R = InputMode::kRight;
constexpr LeftTarget kPref = LeftTarget::kPrefectureLetter;
constexpr LeftTarget kCity = LeftTarget::kCityLetter;
constexpr LeftTarget kWard = LeftTarget::kWardLetter;
constexpr LeftTarget kRough = LeftTarget::kRoughTownLetter;
constexpr RightTarget kFirst = RightTarget::kDetailFirstLetter;
constexpr RightTarget kSecond = RightTarget::kDetailSecondLetter;
constexpr RightTarget kNarrow = RightTarget::kNarrowingString;

struct Target {
  InputMode mode;
  LeftTarget left;
  RightTarget right;
  bool operator==(const Target&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Target& t) {
  return out << (t.mode == L ? "left" : "right") << '/' << static_cast<int>(t.left) << '/' << static_cast<int>(t.right);
}

// The seven query fields: prefecture, city, ward, rough town, town first,
// town second, narrowing string.
using Fields = std::array<std::string, 7>;

class InputModelTest : public ::testing::Test {
 protected:
  // Puts the model on `target` with the selectors, then fills every field,
  // so that a test sees which field an operation wrote.
  void Start(Target target) {
    static const Selector left[] = {Selector::kPrefecture, Selector::kCity, Selector::kWard, Selector::kRoughTown};
    static const Selector right[] = {Selector::kDetailFirst, Selector::kDetailSecond, Selector::kNarrowing};
    (void)model_.ClickSelector(left[static_cast<int>(target.left)]);
    (void)model_.ClickSelector(right[static_cast<int>(target.right)]);
    (void)model_.ClickSelector(target.mode == L ? Selector::kLeftMode : Selector::kRightMode);
    ASSERT_EQ(Now(), target);
    state_.PrefectureLetter = "P";
    state_.CityLetter = "C";
    state_.WardLetter = "W";
    state_.RoughTownLetter = "T";
    state_.DetailFirstLetter = "1";
    state_.DetailSecondLetter = "2";
    state_.NarrowingString = "nn";
  }

  Target Now() const { return {model_.Mode(), model_.Left(), model_.Right()}; }

  Fields Query() const {
    return {state_.PrefectureLetter,  state_.CityLetter,         state_.WardLetter,     state_.RoughTownLetter,
            state_.DetailFirstLetter, state_.DetailSecondLetter, state_.NarrowingString};
  }

  engine::SearchState state_;
  InputModel model_{state_};
};

const Fields kFilled = {"P", "C", "W", "T", "1", "2", "nn"};

TEST_F(InputModelTest, KeyingAPlaceWithAWardAndOneInACounty) {
  // ほ さ ち, skip, み な: the ward letter stays, the input moves on to
  // the town, and further keys are appended to the narrowing string.
  for (const char* key : {"ﾎ", "ｻ", "ﾁ"}) (void)model_.EnterKey(Cp932(key)[0]);
  EXPECT_EQ(Now(), (Target{L, kRough, kFirst}));
  (void)model_.Skip();
  for (const char* key : {"ﾐ", "ﾅ", "ﾐ", "0"}) (void)model_.EnterKey(Cp932(key)[0]);
  EXPECT_EQ(Query(), (Fields{Cp932("ﾎ"), Cp932("ｻ"), Cp932("ﾁ"), "", Cp932("ﾐ"), Cp932("ﾅ"), Cp932("ﾐ0")}));
  EXPECT_EQ(Now(), (Target{R, kRough, kNarrow}));

  // A county: its letter, skip over the ward, the rough town's letter;
  // the input then moves on to the town by itself.
  (void)model_.ClearSelection();
  for (const char* key : {"ﾎ", "ｶ"}) (void)model_.EnterKey(Cp932(key)[0]);
  (void)model_.Skip();
  (void)model_.EnterKey(Cp932("ﾆ")[0]);
  EXPECT_EQ(Query(), (Fields{Cp932("ﾎ"), Cp932("ｶ"), "", Cp932("ﾆ"), "", "", ""}));
  EXPECT_EQ(Now(), (Target{R, kRough, kFirst}));
}

TEST_F(InputModelTest, EnterKeyStoresIntoTheTargetAndMovesOn) {
  struct Row {
    Target from;
    Fields after;
    Target to;
  };
  const Row rows[] = {
      {{R, kPref, kFirst}, {"P", "C", "W", "T", "k", "2", "nn"}, {R, kPref, kSecond}},
      {{R, kPref, kSecond}, {"P", "C", "W", "T", "1", "k", "nn"}, {R, kPref, kNarrow}},
      {{R, kPref, kNarrow}, {"P", "C", "W", "T", "1", "2", "nnk"}, {R, kPref, kNarrow}},
      {{L, kPref, kNarrow}, {"k", "C", "W", "T", "1", "2", "nn"}, {L, kCity, kNarrow}},
      {{L, kCity, kNarrow}, {"P", "k", "W", "T", "1", "2", "nn"}, {L, kWard, kNarrow}},
      // A ward letter empties the rough town, and the reverse.
      {{L, kWard, kNarrow}, {"P", "C", "k", "", "1", "2", "nn"}, {L, kRough, kNarrow}},
      {{L, kRough, kNarrow}, {"P", "C", "", "k", "1", "2", "nn"}, {R, kRough, kFirst}},
  };
  for (const Row& row : rows) {
    Start(row.from);
    EXPECT_EQ(model_.EnterKey('k'), Refresh::kStateAndSelectors);
    EXPECT_EQ(Query(), row.after) << "from " << row.from;
    EXPECT_EQ(Now(), row.to) << "from " << row.from;
  }
}

TEST_F(InputModelTest, SkipMovesOnWithoutStoring) {
  const std::pair<Target, Target> rows[] = {
      {{R, kCity, kFirst}, {R, kCity, kSecond}},
      {{R, kCity, kSecond}, {R, kCity, kNarrow}},
      // The narrowing string is the last field: skip keeps both targets.
      {{R, kCity, kNarrow}, {R, kCity, kNarrow}},
      {{L, kPref, kNarrow}, {L, kCity, kNarrow}},
      {{L, kCity, kNarrow}, {L, kWard, kNarrow}},
      {{L, kWard, kNarrow}, {L, kRough, kNarrow}},
      {{L, kRough, kNarrow}, {R, kRough, kFirst}},
  };
  for (const auto& [from, to] : rows) {
    Start(from);
    EXPECT_EQ(model_.Skip(), Refresh::kStateAndSelectors);
    EXPECT_EQ(Now(), to) << "from " << from;
    EXPECT_EQ(Query(), kFilled) << "from " << from << ": skipping over the ward keeps the rough town too";
  }
  // After a skip on the narrowing string, left mode goes on where it was.
  Start({R, kCity, kNarrow});
  (void)model_.Skip();
  (void)model_.ClickSelector(Selector::kLeftMode);
  (void)model_.EnterKey('k');
  EXPECT_EQ(state_.CityLetter, "k");
}

TEST_F(InputModelTest, BackMovesOneStepBackWithoutStoring) {
  const std::pair<Target, Target> rows[] = {
      // Back from the town goes to the rough town, even after a ward.
      {{R, kWard, kFirst}, {L, kRough, kFirst}},   {{R, kWard, kSecond}, {R, kWard, kFirst}},
      {{R, kWard, kNarrow}, {R, kWard, kSecond}},  {{L, kPref, kNarrow}, {L, kPref, kNarrow}},
      {{L, kCity, kNarrow}, {L, kPref, kNarrow}},  {{L, kWard, kNarrow}, {L, kCity, kNarrow}},
      {{L, kRough, kNarrow}, {L, kWard, kNarrow}},
  };
  for (const auto& [from, to] : rows) {
    Start(from);
    EXPECT_EQ(model_.Back(), Refresh::kStateAndSelectors);
    EXPECT_EQ(Now(), to) << "from " << from;
    EXPECT_EQ(Query(), kFilled) << "from " << from;
  }
}

TEST_F(InputModelTest, DeleteLastCharacterTakesOneByteOfTheNarrowingStringOnly) {
  Start({L, kCity, kNarrow});
  state_.NarrowingString = Cp932("ｶﾞ");
  EXPECT_EQ(model_.DeleteLastCharacter(), Refresh::kStateAndSelectors);
  EXPECT_EQ(state_.NarrowingString, Cp932("ｶ"));
  (void)model_.DeleteLastCharacter();
  (void)model_.DeleteLastCharacter();
  EXPECT_EQ(Query(), (Fields{"P", "C", "W", "T", "1", "2", ""}));
  EXPECT_EQ(Now(), (Target{L, kCity, kNarrow}));
}

TEST_F(InputModelTest, ClearSelectionEmptiesTheQueryButNotTheResult) {
  Start({R, kRough, kNarrow});
  state_.ResultText = "page one";
  state_.PageText[2] = "page two";
  EXPECT_EQ(model_.ClearSelection(), Refresh::kStateAndSelectors);
  EXPECT_EQ(Query(), Fields{});
  EXPECT_EQ(Now(), (Target{L, kPref, kFirst}));
  EXPECT_EQ(state_.ResultText, "page one");
  EXPECT_EQ(state_.PageText[2], "page two");
}

TEST_F(InputModelTest, FocusingAQueryFieldMakesItTheTarget) {
  struct Row {
    Field field;
    Target to;
    Fields after;
  };
  const Row rows[] = {
      {Field::kPrefectureLetter, {L, kPref, kSecond}, kFilled},
      {Field::kCityLetter, {L, kCity, kSecond}, kFilled},
      {Field::kWardLetter, {L, kWard, kSecond}, {"P", "C", "W", "", "1", "2", "nn"}},
      {Field::kRoughTownLetter, {L, kRough, kSecond}, {"P", "C", "", "T", "1", "2", "nn"}},
      {Field::kDetailFirstLetter, {R, kCity, kFirst}, kFilled},
      {Field::kDetailSecondLetter, {R, kCity, kSecond}, kFilled},
      {Field::kNarrowingString, {R, kCity, kNarrow}, kFilled},
  };
  for (const Row& row : rows) {
    Start({row.to.mode == L ? R : L, kCity, kSecond});
    EXPECT_EQ(model_.FocusField(row.field), Refresh::kStateAndSelectors);
    EXPECT_EQ(Now(), row.to) << engine::FieldName(row.field);
    EXPECT_EQ(Query(), row.after) << engine::FieldName(row.field);
  }
  Start({L, kCity, kSecond});
  EXPECT_EQ(model_.FocusField(Field::kResultText), Refresh::kSelectors);
  EXPECT_EQ(Now(), (Target{L, kCity, kSecond}));
  EXPECT_EQ(Query(), kFilled);
}

TEST_F(InputModelTest, ClickingASelectorChoosesTheTargetAndItsSide) {
  struct Row {
    Selector selector;
    Target to;
    Fields after;
    Refresh refresh;
  };
  const Row rows[] = {
      {Selector::kLeftMode, {L, kCity, kSecond}, kFilled, Refresh::kSelectors},
      {Selector::kRightMode, {R, kCity, kSecond}, kFilled, Refresh::kSelectors},
      {Selector::kPrefecture, {L, kPref, kSecond}, kFilled, Refresh::kSelectors},
      {Selector::kCity, {L, kCity, kSecond}, kFilled, Refresh::kSelectors},
      {Selector::kWard, {L, kWard, kSecond}, {"P", "C", "W", "", "1", "2", "nn"}, Refresh::kStateAndSelectors},
      // The rough-town selector is chosen to key the rough town: left mode.
      {Selector::kRoughTown, {L, kRough, kSecond}, {"P", "C", "", "T", "1", "2", "nn"}, Refresh::kStateAndSelectors},
      {Selector::kDetailFirst, {R, kCity, kFirst}, kFilled, Refresh::kSelectors},
      {Selector::kDetailSecond, {R, kCity, kSecond}, kFilled, Refresh::kSelectors},
      {Selector::kNarrowing, {R, kCity, kNarrow}, kFilled, Refresh::kSelectors},
  };
  for (const Row& row : rows) {
    const int selector = static_cast<int>(row.selector);
    Start({row.to.mode == L ? R : L, kCity, kSecond});
    EXPECT_EQ(model_.ClickSelector(row.selector), row.refresh) << "selector " << selector;
    EXPECT_EQ(Now(), row.to) << "selector " << selector;
    EXPECT_EQ(Query(), row.after) << "selector " << selector;
    SelectorChecks checks = model_.Checks();
    EXPECT_TRUE(checks.mode == row.selector || checks.left == row.selector || checks.right == row.selector)
        << "selector " << selector << " is shown checked";
  }
  // After the rough-town selector the next key is the rough town's letter.
  Start({R, kCity, kSecond});
  (void)model_.ClickSelector(Selector::kRoughTown);
  (void)model_.EnterKey('k');
  EXPECT_EQ(state_.RoughTownLetter, "k");
  EXPECT_EQ(Now(), (Target{R, kRough, kFirst}));
}

}  // namespace
}  // namespace search::ui
