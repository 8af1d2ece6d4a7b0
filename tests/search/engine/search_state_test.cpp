#include "search/engine/search_state.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

const std::vector<Field> kTransferOrder = {
    Field::kDetailFirstLetter, Field::kDetailSecondLetter, Field::kPrefectureLetter, Field::kWardLetter,
    Field::kCityLetter,        Field::kRoughTownLetter,    Field::kNarrowingString,  Field::kResultText};

TEST(SearchStateTransfer, ShowStateWritesTheEightControlsInOrder) {
  RecordingDialog dialog;
  SearchState state;
  state.PrefectureLetter = Cp932("ﾎ");
  state.NarrowingString = Cp932("ｵｶ");
  state.ResultText = "page";
  ShowState(state, dialog);
  EXPECT_EQ(dialog.writes, kTransferOrder);
  EXPECT_EQ(dialog.fields[Field::kPrefectureLetter], Cp932("ﾎ"));
  EXPECT_EQ(dialog.fields[Field::kNarrowingString], Cp932("ｵｶ"));
  EXPECT_EQ(dialog.fields[Field::kResultText], "page");
}

TEST(SearchStateTransfer, ReadBackTakesWhatTheControlsHold) {
  RecordingDialog dialog;
  SearchState state;
  dialog.fields[Field::kCityLetter] = Cp932("ｻ");
  dialog.fields[Field::kNarrowingString] = std::string(300, 'x');  // not checked
  dialog.fields[Field::kResultText] = std::string(100000, 'r');
  EXPECT_TRUE(ReadBackState(state, dialog));
  EXPECT_EQ(dialog.reads, kTransferOrder);
  EXPECT_EQ(state.CityLetter, Cp932("ｻ"));
  EXPECT_EQ(state.NarrowingString.size(), 300u);
  EXPECT_EQ(state.ResultText.size(), 100000u);
  EXPECT_TRUE(dialog.tooLong.empty());
}

TEST(SearchStateTransfer, ReadBackStopsAtALetterOfTwoBytes) {
  RecordingDialog dialog;
  SearchState state;
  dialog.fields[Field::kPrefectureLetter] = Cp932("ﾎｶ");
  dialog.fields[Field::kWardLetter] = Cp932("ﾁ");
  EXPECT_FALSE(ReadBackState(state, dialog));
  ASSERT_EQ(dialog.tooLong.size(), 1u);
  EXPECT_EQ(dialog.tooLong[0], std::make_pair(Field::kPrefectureLetter, size_t{1}));
  EXPECT_EQ(state.PrefectureLetter, Cp932("ﾎｶ"));
  EXPECT_TRUE(state.WardLetter.empty()) << "fields after the failed one are not read back";
}

TEST(SearchStateTransfer, LengthsCountBytesAsThePlatformsChecksDo) {
  RecordingDialog dialog;
  SearchState state;
  // 町 is one character of two bytes: too long for a one-byte letter.
  dialog.fields[Field::kDetailFirstLetter] = Cp932("町");
  EXPECT_FALSE(ReadBackState(state, dialog));
  EXPECT_EQ(dialog.tooLong.at(0), std::make_pair(Field::kDetailFirstLetter, size_t{1}));
  // 50000 two-byte characters are 100000 bytes and pass; one byte more fails.
  dialog.tooLong.clear();
  dialog.fields[Field::kDetailFirstLetter] = "";
  std::string wide;
  const std::string machi = Cp932("町");
  for (int i = 0; i < 50000; ++i) wide += machi;
  dialog.fields[Field::kResultText] = wide;
  EXPECT_TRUE(ReadBackState(state, dialog));
  dialog.fields[Field::kResultText] = wide + "r";
  EXPECT_FALSE(ReadBackState(state, dialog));
  EXPECT_EQ(dialog.tooLong.at(0), std::make_pair(Field::kResultText, size_t{100000}));
}

TEST(SearchStateBlanks, OnlyASingleBlankBecomesEmpty) {
  SearchState state;
  state.DetailFirstLetter = " ";
  state.DetailSecondLetter = " ";
  state.PrefectureLetter = " ";
  state.WardLetter = " ";
  state.CityLetter = " ";
  state.RoughTownLetter = "  ";
  state.NarrowingString = " ";
  NormaliseBlankLetters(state);
  EXPECT_EQ(state.DetailFirstLetter, "");
  EXPECT_EQ(state.DetailSecondLetter, "");
  EXPECT_EQ(state.PrefectureLetter, "");
  EXPECT_EQ(state.WardLetter, "");
  EXPECT_EQ(state.CityLetter, "");
  EXPECT_EQ(state.RoughTownLetter, "  ");
  EXPECT_EQ(state.NarrowingString, " ") << "the narrowing string is not a letter";
}

TEST(SearchStateTimes, TimeFieldsHoldEightCharactersAndANul) {
  SearchState state;
  EXPECT_EQ(TimeText(state.SearchStartTime), "");
  SetTime(state.SearchStartTime, "10:15:00");
  EXPECT_EQ(TimeText(state.SearchStartTime), "10:15:00");
  EXPECT_EQ(state.SearchStartTime[8], '\0');
}

TEST(SearchStateInitial, ANewStateIsEmpty) {
  SearchState state;
  EXPECT_EQ(state.PagePosition, 0);
  EXPECT_FALSE(state.ResultFile.IsOpen());
  EXPECT_EQ(state.RestRetryActive, 0);
  EXPECT_EQ(state.RestRetryCount, 0);
  for (const std::string& page : state.PageText) EXPECT_TRUE(page.empty());
}

}  // namespace
}  // namespace search::engine::testing
