#include <gtest/gtest.h>

#include <filesystem>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

namespace files = platform::files;

class QuickFileTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    WriteIndex("ｻ", "ﾐﾅ", IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
  }

  // A search whose start and end readings of the clock lie `seconds` apart.
  void SearchTaking(int seconds, int hours = 10, int minutes = 15, int startSeconds = 0) {
    clock_.SetTimeOfDay(hours, minutes, startSeconds);
    clock_.SetStepPerReading(seconds);
    session_.StartSearch();
  }

  std::string QuickName(const std::string& letters) { return "QUICK\\" + Cp932(letters) + ".QIC"; }
};

TEST_F(QuickFileTest, FourteenSecondsWriteNothingFifteenWriteThePage) {
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  SearchTaking(14);
  EXPECT_EQ(TimeText(State().SearchStartTime), "10:15:00");
  EXPECT_EQ(TimeText(State().SearchEndTime), "10:15:14");
  EXPECT_FALSE(FileExists(QuickName("ﾎｻ__ﾐﾅ")));

  SearchTaking(15);
  EXPECT_EQ(ReadFile(QuickName("ﾎｻ__ﾐﾅ")), Shown());
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(QuickFileTest, ElapsedTimeCountsHoursAndWrapsAtMidnight) {
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  SearchTaking(30, 10, 59, 50);  // 10:59:50 to 11:00:20
  EXPECT_EQ(TimeText(State().SearchEndTime), "11:00:20");
  EXPECT_TRUE(FileExists(QuickName("ﾎｻ__ﾐﾅ")));
  ASSERT_EQ(files::Remove(QuickName("ﾎｻ__ﾐﾅ")), 0);

  SearchTaking(20, 23, 59, 50);  // over midnight
  EXPECT_TRUE(FileExists(QuickName("ﾎｻ__ﾐﾅ")));
  ASSERT_EQ(files::Remove(QuickName("ﾎｻ__ﾐﾅ")), 0);

  SearchTaking(3600 + 5);  // an hour and five seconds is slow, not five seconds
  EXPECT_TRUE(FileExists(QuickName("ﾎｻ__ﾐﾅ")));
}

TEST_F(QuickFileTest, NoPrefectureLetterNeverWritesAFile) {
  Query("", "ｻ", "", "", "ﾐ", "ﾅ");
  SearchTaking(100);
  EXPECT_TRUE(std::filesystem::is_empty(directory_ + "/QUICK"));
}

TEST_F(QuickFileTest, TheNameCarriesTheSixLetters) {
  WriteIndex("ｶ", "ｻﾀ", IndexLine("ｻﾀﾁﾖｳ", "ｱｲﾁｹﾝ", "4000000", "ｶｽｶﾞｲｼ", "佐多町"));
  Query("ｱ", "ｶ", "", "", "ｻ", "ﾀ");
  SearchTaking(15);
  EXPECT_EQ(ReadFile(QuickName("ｱｶ__ｻﾀ")), DisplayForm("ｻﾀﾁﾖｳ", "ｱｲﾁｹﾝ", "4000000", "ｶｽｶﾞｲｼ", "佐多町"));

  WriteIndex("ﾖ", "ﾆｷ", IndexLine("ﾆｷ", "ﾎﾂｶｲﾄﾞｳ", "0460000", "ﾖｲﾁｸﾞﾝﾆｷﾁﾖｳ", "仁木"));
  Query("ﾎ", "ﾖ", "", "ﾆ", "ﾆ", "ｷ");
  SearchTaking(15);
  EXPECT_TRUE(FileExists(QuickName("ﾎﾖ_ﾆﾆｷ")));
}

TEST_F(QuickFileTest, AnEmptyResultWritesNothing) {
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾞﾜ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼ", "x"));
  Query("ｱ", "ｻ", "", "", "ﾐ", "ﾅ");
  SearchTaking(20);
  EXPECT_TRUE(std::filesystem::is_empty(directory_ + "/QUICK"));
}

TEST_F(QuickFileTest, AfterAReSearchTheNameHasTheRestLetters) {
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼ", "以下に掲載がない場合"));
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ", "ﾝﾝ");
  SearchTaking(15);
  EXPECT_TRUE(FileExists(QuickName("ﾎｻ__ｲｶ")));
  EXPECT_FALSE(FileExists(QuickName("ﾎｻ__ﾐﾅ")));
}

TEST_F(QuickFileTest, AMissingQuickDirectoryShowsItsBox) {
  std::filesystem::remove(directory_ + "/QUICK");
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  SearchTaking(15);
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, ErrorCaptionText());
  EXPECT_EQ(dialog_.boxes[0].text, Cp932("Quick ファイルが書き込めない"));
  EXPECT_EQ(Shown(), DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢")) << "the search is not affected";
  EXPECT_EQ(dialog_.status, FinishedStatus());
}

TEST_F(QuickFileTest, AFailedWriteShowsTheErrorNumberAndKeepsTheEarlierPage) {
  WriteFile(QuickName("ﾎｻ__ﾐﾅ"), "the earlier page");
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  std::string shown = DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢");
  {
    platform::ScopedOverride restore(platform::files::Sys());
    auto realWrite = files::Sys().write;
    files::Sys().write = [=](int fd, const void* buf, size_t n) -> ssize_t {
      if (n == shown.size()) {  // the quick file's one write
        errno = ENOSPC;
        return -1;
      }
      return realWrite(fd, buf, n);
    };
    SearchTaking(15);
  }
  ASSERT_EQ(dialog_.boxes.size(), 2u);
  EXPECT_EQ(dialog_.boxes[0].text, Cp932("結果ファイルが書けない"));
  EXPECT_EQ(dialog_.boxes[1].caption, ErrorCaptionText());
  EXPECT_EQ(dialog_.boxes[1].text, std::to_string(ENOSPC));
  EXPECT_EQ(ReadFile(QuickName("ﾎｻ__ﾐﾅ")), "the earlier page");
  EXPECT_FALSE(FileExists(QuickName("ﾎｻ__ﾐﾅ") + ".tmp"));
}

}  // namespace
}  // namespace search::engine::testing
