// Searches on the index of the bundled postal data.
#include <gtest/gtest.h>

#include <regex>

#include "engine_test_support.h"
#include "full_index.h"

namespace search::engine::testing {
namespace {

class FullDataTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    std::string problem;
    std::string index = FullIndexDirectory(problem);
    ASSERT_FALSE(index.empty()) << problem;
    WriteSettingsFile(index + "/ZIP_CODE/");
  }

  // The shown text in UTF-8, as pairs of display lines.
  std::vector<std::pair<std::string, std::string>> ShownRows() {
    std::string text = platform::text::ToUtf8(Shown());
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) rows.emplace_back(lines[i], lines[i + 1]);
    EXPECT_EQ(lines.size() % 2, 0u);
    return rows;
  }
};

TEST_F(FullDataTest, ChuoWardOfSapporoTownsBeginningWithMina) {
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  std::vector<std::pair<std::string, std::string>> rows = ShownRows();
  ASSERT_GE(rows.size(), 4u);
  const std::regex first("ﾎﾂｶｲﾄﾞｳ \\(\\^O\\^\\) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ \\(\\^O\\^\\)=>>> [0-9]{7} <<=\\(\\^O\\^\\) ﾐﾅ.*");
  bool southFirstWest = false;
  for (const auto& [line1, line2] : rows) {
    EXPECT_TRUE(std::regex_match(line1, first)) << line1;
    EXPECT_TRUE(line2.starts_with("(南")) << line2;
    southFirstWest |=
        line1.find("=>>> 0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ") != std::string::npos && line2.starts_with("(南一条西");
  }
  EXPECT_TRUE(southFirstWest);
  EXPECT_EQ(dialog_.status, FinishedStatus());
  EXPECT_EQ(dialog_.pageLabel, AllShownLabel());
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(FullDataTest, APairTheWardLacksFallsBackToTheRestFile) {
  Query("ﾎ", "ｻ", "ﾁ", "", "ｱ", "ｵ");
  dialog_.statusHistory.clear();
  session_.StartSearch();
  EXPECT_EQ(Shown(), DisplayForm("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "ﾎﾂｶｲﾄﾞｳ", "0600000", "ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ", "以下に掲載がない場合"));
  std::vector<std::string> statuses = {SearchingStatus(), FinishedStatus(), Cp932("町名 ｱｵでは該当なし。検索中"),
                                       FinishedStatus()};
  EXPECT_EQ(dialog_.statusHistory, statuses);
  EXPECT_TRUE(dialog_.boxes.empty());
  EXPECT_EQ(State().RestRetryCount, 0);
}

TEST_F(FullDataTest, APairThatMatchesNothingEvenThereEndsInTheFinalBox) {
  Query("ﾎ", "ｻ", "ﾝ", "", "ｱ", "ｵ");
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, NeverExistsCaption());
  EXPECT_EQ(dialog_.boxes[0].text, NeverExistsText());
  EXPECT_EQ(Shown(), "");

  // The final narrowing finds the same nothing and re-searches once more.
  dialog_.boxes.clear();
  Query("ﾎ", "ｻ", "ﾝ", "", "ｱ", "ｵ");
  session_.FinalNarrowing();
  ASSERT_EQ(dialog_.boxes.size(), 2u);
  EXPECT_EQ(dialog_.boxes[1].caption, NeverExistsCaption());
  EXPECT_EQ(State().RestRetryCount, 0);
}

TEST_F(FullDataTest, ATownInACountyIsFoundByItsRoughTownLetter) {
  // Prefecture ﾎ, county ﾖ (余市郡), rough town ﾆ (仁木町), town ｵｵ (大江).
  Query("ﾎ", "ﾖ", "", "ﾆ", "ｵ", "ｵ");
  session_.StartSearch();
  std::vector<std::pair<std::string, std::string>> rows = ShownRows();
  ASSERT_FALSE(rows.empty());
  for (const auto& [line1, line2] : rows) {
    EXPECT_NE(line1.find(" ﾖｲﾁｸﾞﾝﾆｷﾁﾖｳ "), std::string::npos) << line1;
    EXPECT_TRUE(line2.starts_with("(大江")) << line2;
  }
  EXPECT_EQ(dialog_.status, FinishedStatus());

  // Without the rough-town letter the other towns of the county come too.
  Query("ﾎ", "ﾖ", "", "", "ｵ", "ｵ");
  session_.StartSearch();
  EXPECT_GT(ShownRows().size(), rows.size());
}

TEST_F(FullDataTest, ASlowSearchLeavesItsPageInAQuickFile) {
  Query("ﾎ", "ｻ", "ﾁ", "", "ﾐ", "ﾅ");
  clock_.SetTimeOfDay(9, 0, 0);
  clock_.SetStepPerReading(14);
  session_.StartSearch();
  EXPECT_FALSE(FileExists("QUICK\\" + Cp932("ﾎｻﾁ_ﾐﾅ") + ".QIC"));
  clock_.SetStepPerReading(15);
  session_.StartSearch();
  EXPECT_EQ(ReadFile("QUICK\\" + Cp932("ﾎｻﾁ_ﾐﾅ") + ".QIC"), Shown());
}

}  // namespace
}  // namespace search::engine::testing
