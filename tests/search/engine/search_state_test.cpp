#include "search/engine/search_state.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

const std::vector<int> kTransferOrder = {kDetailFirstLetterEdit, kDetailSecondLetterEdit, kPrefectureLetterEdit,
                                         kWardLetterEdit,        kCityLetterEdit,         kRoughTownLetterEdit,
                                         kNarrowingEdit,         kResultEdit};

TEST(SearchStateTransfer, ShowStateWritesTheEightControlsInOrder) {
  RecordingDialog dialog;
  SearchState state;
  state.PrefectureLetter = Cp932("ﾎ");
  state.NarrowingString = Cp932("ｵｶ");
  state.ResultText = "page";
  ShowState(state, dialog);
  EXPECT_EQ(dialog.writes, kTransferOrder);
  EXPECT_EQ(dialog.controls[kPrefectureLetterEdit], Cp932("ﾎ"));
  EXPECT_EQ(dialog.controls[kNarrowingEdit], Cp932("ｵｶ"));
  EXPECT_EQ(dialog.controls[kResultEdit], "page");
}

TEST(SearchStateTransfer, ReadBackTakesWhatTheControlsHold) {
  RecordingDialog dialog;
  SearchState state;
  dialog.controls[kCityLetterEdit] = Cp932("ｻ");
  dialog.controls[kNarrowingEdit] = std::string(300, 'x');  // not checked
  dialog.controls[kResultEdit] = std::string(100000, 'r');
  EXPECT_TRUE(ReadBackState(state, dialog));
  EXPECT_EQ(dialog.reads, kTransferOrder);
  EXPECT_EQ(state.CityLetter, Cp932("ｻ"));
  EXPECT_EQ(state.NarrowingString.size(), 300u);
  EXPECT_EQ(state.ResultText.size(), 100000u);
  EXPECT_TRUE(dialog.tooLong.empty());
}

TEST(SearchStateTransfer, ReadBackStopsAtALetterOfTwoCharacters) {
  RecordingDialog dialog;
  SearchState state;
  dialog.controls[kPrefectureLetterEdit] = Cp932("ﾎｶ");
  dialog.controls[kWardLetterEdit] = Cp932("ﾁ");
  EXPECT_FALSE(ReadBackState(state, dialog));
  ASSERT_EQ(dialog.tooLong.size(), 1u);
  EXPECT_EQ(dialog.tooLong[0], std::make_pair(static_cast<int>(kPrefectureLetterEdit), size_t{1}));
  EXPECT_EQ(state.PrefectureLetter, Cp932("ﾎｶ"));
  EXPECT_TRUE(state.WardLetter.empty()) << "fields after the failed one are not read back";
}

TEST(SearchStateTransfer, ATwoByteCharacterIsOneCharacter) {
  RecordingDialog dialog;
  SearchState state;
  dialog.controls[kDetailFirstLetterEdit] = Cp932("町");
  EXPECT_TRUE(ReadBackState(state, dialog));
  EXPECT_EQ(state.DetailFirstLetter, Cp932("町"));
}

TEST(SearchStateTransfer, ReadBackRefusesAResultOfMoreThan100000Characters) {
  RecordingDialog dialog;
  SearchState state;
  dialog.controls[kResultEdit] = std::string(100001, 'r');
  EXPECT_FALSE(ReadBackState(state, dialog));
  ASSERT_EQ(dialog.tooLong.size(), 1u);
  EXPECT_EQ(dialog.tooLong[0].first, kResultEdit);
  EXPECT_EQ(dialog.tooLong[0].second, 100000u);
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
