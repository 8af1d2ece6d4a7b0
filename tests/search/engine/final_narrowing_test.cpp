#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

namespace files = platform::files;

class FinalNarrowingTest : public EngineTest {
 protected:
  void WriteSapporo() {
    WriteIndex("ｻ", "ﾐﾅ",
               IndexLine("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西") +
                   IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
  }
};

TEST_F(FinalNarrowingTest, ShowsTheSameFirstPageAgain) {
  WriteSapporo();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  std::string first = Shown();
  dialog_.statusHistory.clear();
  session_.FinalNarrowing();
  EXPECT_EQ(Shown(), first);
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西"));
  std::vector<std::string> statuses = {SearchingStatus(), FinishedStatus(), FinishedStatus()};
  EXPECT_EQ(dialog_.statusHistory, statuses);
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(FinalNarrowingTest, NothingEvenInTheRestFileReSearchesOnceMore) {
  WriteSapporo();
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾞﾜ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "x"));
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ﾝﾝ");
  session_.FinalNarrowing();
  ASSERT_EQ(dialog_.boxes.size(), 2u);
  EXPECT_EQ(dialog_.boxes[0].caption, NeverExistsCaption());
  EXPECT_EQ(dialog_.boxes[1].caption, NeverExistsCaption());
  EXPECT_EQ(dialog_.statusHistory.back(), FinishedStatus());
  int announcements = 0;
  for (const std::string& s : dialog_.statusHistory) announcements += s.starts_with(Cp932("町名 "));
  EXPECT_EQ(announcements, 2) << "the second pass announces a re-search with the rest letters";
  EXPECT_EQ(State().RestRetryCount, 0);
}

TEST_F(FinalNarrowingTest, AfterAReSearchTheSecondPassReadsTheRestFile) {
  WriteSapporo();
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "以下"));
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ", "ﾝﾝ");
  session_.FinalNarrowing();
  EXPECT_EQ(Shown(), DisplayForm("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "以下"));
  EXPECT_TRUE(dialog_.boxes.empty());
  EXPECT_EQ(State().NarrowingString, "");
}

TEST_F(FinalNarrowingTest, AMissingIndexFileShowsThePreviousResultAgain) {
  WriteSapporo();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  std::string previous = Shown();
  Query("ﾎ", "ｻ", "", "", "ﾇ", "ﾇ");
  session_.FinalNarrowing();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].text, NoDataText());
  // The previous file read with the new (ward-less) query.
  EXPECT_EQ(Shown(), previous + DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
  EXPECT_EQ(dialog_.status, FinishedStatus());
}

TEST_F(FinalNarrowingTest, MissingSettingsStopBeforeTheSecondPass) {
  WriteSapporo();
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  dialog_.writes.clear();
  session_.FinalNarrowing();
  ASSERT_EQ(dialog_.boxes.size(), 2u) << "one box from the search, one from the narrowing";
  EXPECT_EQ(dialog_.boxes[0].text, SettingsError());
  EXPECT_EQ(dialog_.boxes[1].text, SettingsError());
  EXPECT_TRUE(dialog_.writes.empty());
}

TEST_F(FinalNarrowingTest, BlankLettersCountAsNotGiven) {
  WriteSapporo();
  Query("ﾎ", "ｻ", " ", " ", "ﾐ", "ﾅ");
  session_.FinalNarrowing();
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ", "ﾎﾂｶｲﾄﾞｳ", "0600061", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "南一条西") +
                         DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
}

}  // namespace
}  // namespace search::engine::testing
