#include "search/engine/result_records.h"

#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

RecordFields Fields(const std::string& town, const std::string& prefecture, const std::string& city) {
  return {Cp932(town), Cp932(prefecture), "0600000", Cp932(city), Cp932("町")};
}

SearchState QueryOf(const std::string& prefecture, const std::string& ward, const std::string& roughTown,
                    const std::string& narrowing = "") {
  SearchState q;
  q.PrefectureLetter = Cp932(prefecture);
  q.WardLetter = Cp932(ward);
  q.RoughTownLetter = Cp932(roughTown);
  q.NarrowingString = Cp932(narrowing);
  return q;
}

TEST(RecordTests, PrefectureLetterMatchesTheFirstByte) {
  EXPECT_TRUE(RecordFits(QueryOf("ﾎ", "", ""), Fields("ﾐﾅﾐ", "ﾎﾂｶｲﾄﾞｳ", "ｻﾂﾎﾟﾛｼ")));
  EXPECT_FALSE(RecordFits(QueryOf("ｱ", "", ""), Fields("ﾐﾅﾐ", "ﾎﾂｶｲﾄﾞｳ", "ｻﾂﾎﾟﾛｼ")));
  EXPECT_FALSE(RecordFits(QueryOf("ﾎ", "", ""), Fields("ﾐﾅﾐ", "", "ｻﾂﾎﾟﾛｼ"))) << "an empty prefecture fails";
  EXPECT_TRUE(RecordFits(QueryOf("", "", ""), Fields("ﾐﾅﾐ", "", "")));
}

TEST(RecordTests, WardLetterFollowsADesignatedCityName) {
  RecordFields chuo = Fields("ﾐﾅﾐ", "ﾎﾂｶｲﾄﾞｳ", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ");
  EXPECT_TRUE(RecordFits(QueryOf("", "ﾁ", ""), chuo));
  EXPECT_FALSE(RecordFits(QueryOf("", "ﾐ", ""), chuo));
  EXPECT_TRUE(RecordFits(QueryOf("", "ﾁ", ""), Fields("ﾁ", "ﾁﾊﾞｹﾝ", "ﾁﾊﾞｼﾁﾕｳｵｳｸ")));
  EXPECT_FALSE(RecordFits(QueryOf("", "ﾁ", ""), Fields("ﾁ", "ﾁﾊﾞｹﾝ", "ﾂｸﾊﾞｼ"))) << "not a designated city";
  EXPECT_FALSE(RecordFits(QueryOf("", "ﾁ", ""), Fields("ﾁ", "ﾎﾂｶｲﾄﾞｳ", "ｻﾂﾎﾟﾛｼ"))) << "nothing after the name";
}

TEST(RecordTests, WardLetterWorksForTheCitiesGivenWardsLater) {
  EXPECT_TRUE(RecordFits(QueryOf("", "ﾐ", ""), Fields("ｱ", "ｶﾅｶﾞﾜｹﾝ", "ｻｶﾞﾐﾊﾗｼﾐﾄﾞﾘｸ")));
  EXPECT_TRUE(RecordFits(QueryOf("", "ｷ", ""), Fields("ｱ", "ｸﾏﾓﾄｹﾝ", "ｸﾏﾓﾄｼｷﾀｸ")));
  EXPECT_TRUE(RecordFits(QueryOf("", "ｻ", ""), Fields("ｱ", "ｻｲﾀﾏｹﾝ", "ｻｲﾀﾏｼｻｸﾗｸ")));
  EXPECT_FALSE(RecordFits(QueryOf("", "ｷ", ""), Fields("ｱ", "ｻｲﾀﾏｹﾝ", "ｻｲﾀﾏｼｻｸﾗｸ")));
}

TEST(RecordTests, RoughTownLetterFollowsTheCountyMarker) {
  RecordFields county = Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ﾖｲﾁｸﾞﾝﾆｷﾁﾖｳ");
  EXPECT_TRUE(RecordFits(QueryOf("", "", "ﾆ"), county));
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾖ"), county));
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ｻﾂﾎﾟﾛｼ"))) << "no county";
  // The marker is not looked for at byte offsets 0 to 2.
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ｸﾞﾝﾆ")));
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ｱｸﾞﾝﾆ")));
  EXPECT_TRUE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱｲｳｸﾞﾝﾆ", "ﾎﾂｶｲﾄﾞｳ", "ｱｲｳｸﾞﾝﾆ")));
  // A marker at the very end has nothing after it.
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ｱｲｳｸﾞﾝ")));
  // Only the first marker counts.
  EXPECT_FALSE(RecordFits(QueryOf("", "", "ﾆ"), Fields("ｱ", "ﾎﾂｶｲﾄﾞｳ", "ｱｲｳｸﾞﾝｱｸﾞﾝﾆ")));
}

TEST(RecordTests, NarrowingLooksInTheTownKana) {
  EXPECT_TRUE(RecordFits(QueryOf("", "", "", "ｵｶ"), Fields("ﾐﾅﾐｵｶﾁﾖｳ", "ｱ", "ｱ")));
  EXPECT_FALSE(RecordFits(QueryOf("", "", "", "ｵｶ"), Fields("ﾐﾅﾐｻﾜ", "ｱ", "ｵｶｼ"))) << "the city does not count";
}

TEST(DisplayForm, TwoLinesWithTheCodeBetweenTheArrows) {
  std::string text;
  AppendDisplayForm(text, {Cp932("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ"), Cp932("ﾎﾂｶｲﾄﾞｳ"), "0600061", Cp932("ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ"), Cp932("南一条西")});
  EXPECT_EQ(text, Cp932("ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ\r\n(南一条西)\r\n"));
}

TEST(PageCuts, ShortTextIsOnePage) {
  EXPECT_EQ(CutPages("").size(), 1u);
  EXPECT_EQ(CutPages(std::string(kPageBytes - 1, 'a')).size(), 1u);
}

TEST(PageCuts, ExactlyOnePageOfTextGivesAnEmptySecondPage) {
  std::vector<std::string> pages = CutPages(std::string(kPageBytes, 'a'));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].size(), kPageBytes);
  EXPECT_EQ(pages[1], "");
}

TEST(PageCuts, ACutNeverSplitsATwoByteCharacter) {
  // 町 is 0x92 0xAC; put it across the first page boundary.
  std::string kanji = Cp932("町");
  std::string text = std::string(kPageBytes - 1, 'a') + kanji + std::string(10, 'b');
  std::vector<std::string> pages = CutPages(text);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0], std::string(kPageBytes - 1, 'a'));
  EXPECT_EQ(pages[1], kanji + std::string(10, 'b'));
}

TEST(PageCuts, AShiftedCutLeavesTheLaterCutsAtTheirMultiples) {
  std::string kanji = Cp932("町");
  std::string text = std::string(kPageBytes - 1, 'a') + kanji + std::string(kPageBytes - 1, 'b');
  std::vector<std::string> pages = CutPages(text);  // 2 * kPageBytes bytes: three pages, the third empty
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].size(), kPageBytes - 1);
  EXPECT_EQ(pages[1], kanji + std::string(kPageBytes - 1, 'b'));
  EXPECT_EQ(pages[2], "");

  // Two shifted cuts in a row: each moves back by one byte from its multiple.
  text = std::string(kPageBytes - 1, 'a') + kanji + std::string(kPageBytes - 2, 'b') + kanji + "tail";
  pages = CutPages(text);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].size(), kPageBytes - 1);
  EXPECT_EQ(pages[1].size(), kPageBytes);
  EXPECT_EQ(pages[2], kanji + "tail");
  EXPECT_EQ(pages[0] + pages[1] + pages[2], text);
}

// Result pages read from files.
class ResultPagesTest : public EngineTest {
 protected:
  // A Sapporo index file for the town letters ﾐﾅ: two lines in Chuo ward,
  // one in Minami ward, one in Saitama prefecture.
  void WriteSapporoMina() {
    WriteIndex("ｻ", "ﾐﾅ",
               IndexLine("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西") +
                   IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢") +
                   IndexLine("ﾐﾅﾐ2ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600062", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南二条西") +
                   IndexLine("ﾐﾅﾄﾏﾁ", "ｻｲﾀﾏｹﾝ", "3300000", "ｻｲﾀﾏｼｵｵﾐﾔｸ", "港町"));
  }

  // A result file whose content the case gives, read by ShowResult.
  int ShowFile(const std::string& bytes) {
    WriteIndex("ｻ", "ﾃｽ", bytes);
    Query("", "ｻ", "", "", "ﾃ", "ｽ");
    session_.StartSearch();
    return -2;  // StartSearch drops ShowResult's value
  }

  // A line whose display form takes exactly `bytes` bytes (at least 60).
  static std::string LineOfDisplaySize(size_t bytes, const std::string& code = "0000000") {
    // The display adds 37 bytes around the fields: " (^O^) ", " (^O^)=>>> ",
    // " <<=(^O^) ", CR LF, "(", ")", CR LF.
    size_t fixed = 7 + 11 + 10 + 2 + 2 + 2 + code.size() + 1 + 1 + 1;  // plus one-byte prefecture, city, kanji
    return IndexLine(std::string(bytes - fixed, 'T'), "ﾎ", code, "ｻ", "x");
  }
};

TEST_F(ResultPagesTest, TheOverviewRequestShowsTheChuoWardRows) {
  WriteSapporoMina();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西") +
                         DisplayForm("ﾐﾅﾐ2ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600062", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南二条西"));
  EXPECT_EQ(dialog_.status, FinishedStatus());
  EXPECT_EQ(dialog_.pageLabel, AllShownLabel());
  EXPECT_TRUE(dialog_.boxes.empty());
  EXPECT_EQ(State().ResultText, Shown());
  EXPECT_EQ(ReadFile("Result_Tmp"), ReadFile("ZIP_CODE\\N_" + Cp932("ｻ") + "\\" + Cp932("ﾐﾅ") + ".Idx"));
}

TEST_F(ResultPagesTest, WithoutFiltersEveryRecordIsShownInFileOrder) {
  WriteSapporoMina();
  Query("", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西") +
                         DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢") +
                         DisplayForm("ﾐﾅﾐ2ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600062", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南二条西") +
                         DisplayForm("ﾐﾅﾄﾏﾁ", "ｻｲﾀﾏｹﾝ", "3300000", "ｻｲﾀﾏｼｵｵﾐﾔｸ", "港町"));
}

TEST_F(ResultPagesTest, CarriageReturnStaysAndFieldsAfterTheFifthAreDropped) {
  ShowFile(Cp932("ﾃｽ,ﾎ,1234567,ｻ,漢字\r\nﾃｽ2,ﾎ,7654321,ｻ,字,extra,more"));
  EXPECT_EQ(Shown(), Cp932("ﾎ (^O^) ｻ (^O^)=>>> 1234567 <<=(^O^) ﾃｽ\r\n(漢字\r)\r\n") +
                         Cp932("ﾎ (^O^) ｻ (^O^)=>>> 7654321 <<=(^O^) ﾃｽ2\r\n(字)\r\n"))
      << "the last record ends at the end of the file without a line feed";
}

TEST_F(ResultPagesTest, AnEmptyFileOrASingleLineFeedHoldsNoRecord) {
  for (const std::string& content : {std::string(), std::string("\n")}) {
    dialog_.statusHistory.clear();
    State().RestRetryCount = 0;
    ShowFile(content);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(dialog_.pageLabel, AllShownLabel());
    EXPECT_EQ(dialog_.statusHistory, std::vector<std::string>{SearchingStatus()}) << "status unchanged after";
    EXPECT_TRUE(dialog_.boxes.empty());
    EXPECT_EQ(State().RestRetryCount, 0) << "no re-search";
  }
  EXPECT_EQ(session_.ShowResult(), -1);
}

TEST_F(ResultPagesTest, NoOpenResultFileIsAReadErrorThatChangesNothing) {
  State().ResultText = "on screen";
  session_.ShowState();
  dialog_.writes.clear();
  EXPECT_EQ(session_.ShowResult(), -1);
  EXPECT_TRUE(dialog_.writes.empty());
  EXPECT_EQ(State().ResultText, "on screen");
}

TEST_F(ResultPagesTest, AReadErrorInTheFileChangesNothing) {
  WriteSapporoMina();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  std::string shown = Shown();
  std::string label = dialog_.pageLabel;
  dialog_.writes.clear();
  dialog_.statusHistory.clear();
  State().NarrowingString = Cp932("2");
  {
    platform::ScopedOverride restore(platform::files::Sys());
    platform::files::Sys().read = [](int, void*, size_t) -> ssize_t {
      errno = EIO;
      return -1;
    };
    EXPECT_EQ(session_.ShowResult(), -1);
  }
  EXPECT_TRUE(dialog_.writes.empty());
  EXPECT_TRUE(dialog_.statusHistory.empty());
  EXPECT_EQ(dialog_.pageLabel, label);
  EXPECT_EQ(Shown(), shown);
  EXPECT_EQ(State().RestRetryCount, 0) << "no re-search";
}

TEST_F(ResultPagesTest, EachDisplayPassReadsTheFileFromItsStart) {
  WriteSapporoMina();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  std::string first = Shown();
  EXPECT_EQ(session_.ShowResult(), 0);
  EXPECT_EQ(Shown(), first);
  State().NarrowingString = Cp932("2");
  EXPECT_EQ(session_.ShowResult(), 0);
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐ2ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600062", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南二条西"));
}

TEST_F(ResultPagesTest, ExactlyOnePageOfDisplayGivesTwoPages) {
  ShowFile(LineOfDisplaySize(25600) + LineOfDisplaySize(25600));
  EXPECT_EQ(State().PageText[1].size(), kPageBytes);
  EXPECT_EQ(State().PageText[2], "");
  EXPECT_EQ(Shown(), State().PageText[1]);
  EXPECT_EQ(dialog_.pageLabel, MorePagesLabel());
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(ResultPagesTest, MoreThanFourPagesShowOneBoxPerPageBeyond) {
  // 10.5 lines of 25600 bytes: 5.25 pages of text, six pages by count.
  std::string lines;
  for (int i = 0; i < 10; ++i) lines += LineOfDisplaySize(25600);
  lines += LineOfDisplaySize(12800);
  ShowFile(lines);
  ASSERT_EQ(dialog_.boxes.size(), 2u);
  for (const auto& box : dialog_.boxes) {
    EXPECT_EQ(box.caption, ErrorCaptionText());
    EXPECT_EQ(box.text, TooManyText());
  }
  for (size_t k = 1; k <= 4; ++k) EXPECT_EQ(State().PageText[k].size(), kPageBytes) << k;
  EXPECT_EQ(Shown(), State().PageText[1]);
  EXPECT_EQ(dialog_.pageLabel, MorePagesLabel());
  EXPECT_EQ(dialog_.status, FinishedStatus());
}

TEST_F(ResultPagesTest, NextPageCyclesThroughFourPositions) {
  ShowFile(LineOfDisplaySize(25600) + LineOfDisplaySize(25600) + LineOfDisplaySize(100));
  std::string page1 = State().PageText[1];
  std::string page2 = State().PageText[2];
  ASSERT_EQ(page2.size(), 100u);
  const std::pair<std::string, std::string> expected[] = {
      {page2, Cp932("２ページ目")}, {"", Cp932("３ページ目")}, {"", Cp932("４ページ目")}, {page1, Cp932("１ページ目")}};
  for (const auto& [text, label] : expected) {
    session_.NextPage();
    EXPECT_EQ(Shown(), text);
    EXPECT_EQ(dialog_.pageLabel, label);
  }
  // A new search starts the cycle again.
  session_.NextPage();
  session_.StartSearch();
  session_.NextPage();
  EXPECT_EQ(Shown(), page2);
  EXPECT_EQ(dialog_.pageLabel, Cp932("２ページ目"));
}

// The automatic re-search in the rest file ｲｶ.
class RestSearchTest : public ResultPagesTest {};

TEST_F(RestSearchTest, NothingFoundSearchesTheRestFileOnce) {
  WriteSapporoMina();
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "以下に掲載がない場合"));
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ｻﾜ");
  dialog_.statusHistory.clear();
  session_.StartSearch();
  EXPECT_EQ(Shown(), DisplayForm("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "以下に掲載がない場合"));
  std::vector<std::string> statuses = {SearchingStatus(), FinishedStatus(), Cp932("町名 ﾐﾅでは該当なし。検索中"),
                                       FinishedStatus()};
  EXPECT_EQ(dialog_.statusHistory, statuses) << "the re-search keeps the announcing status until it ends";
  EXPECT_EQ(State().DetailFirstLetter, Cp932("ｲ"));
  EXPECT_EQ(State().DetailSecondLetter, Cp932("ｶ"));
  EXPECT_EQ(State().NarrowingString, "");
  EXPECT_EQ(dialog_.fields[Field::kNarrowingString], "");
  EXPECT_EQ(State().RestRetryActive, 0);
  EXPECT_EQ(State().RestRetryCount, 0);
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(RestSearchTest, NothingInTheRestFileEndsInTheFinalBox) {
  WriteSapporoMina();
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾞﾜ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "x"));
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ﾝﾝ");
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, NeverExistsCaption());
  EXPECT_EQ(dialog_.boxes[0].text, NeverExistsText());
  EXPECT_EQ(dialog_.status, FinishedStatus());
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(State().RestRetryCount, 0);
  EXPECT_EQ(State().RestRetryActive, 0);
}

TEST_F(RestSearchTest, AMissingRestFileLeavesTheCounterAtOne) {
  WriteSapporoMina();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ﾝﾝ");
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].text, NoDataText());
  EXPECT_EQ(State().RestRetryCount, 1);
  EXPECT_EQ(State().RestRetryActive, 0);

  // The next empty result shows the final box at once, without a re-search.
  dialog_.boxes.clear();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ﾝﾝ");
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, NeverExistsCaption());
  EXPECT_EQ(State().DetailFirstLetter, Cp932("ﾐ"));
  EXPECT_EQ(State().RestRetryCount, 0);
}

TEST_F(RestSearchTest, ASearchDuringTheReSearchKeepsTheStatusLine) {
  WriteSapporoMina();
  State().RestRetryActive = 1;
  dialog_.SetStatusCaption(Cp932("町名 ﾐﾅでは該当なし。検索中"));
  dialog_.statusHistory.clear();
  WriteIndex("ｻ", "ﾐﾆ", "");  // an empty file ends the display with -1, status untouched
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾆ");
  session_.StartSearch();
  EXPECT_TRUE(dialog_.statusHistory.empty());
  EXPECT_EQ(dialog_.status, Cp932("町名 ﾐﾅでは該当なし。検索中"));
}

}  // namespace
}  // namespace search::engine::testing
