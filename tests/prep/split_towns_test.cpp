#include "prep/import/split_towns.h"

#include <gtest/gtest.h>

#include "platform/text/cp932.h"

using platform::text::Cp932;
using prep::import::Row;
using prep::import::SplitTownJoiner;

namespace {

Row MakeRow(const std::string& code, const std::string& reading, const std::string& kanji, long line) {
  return Row{{"01101", "060  ", code, Cp932("ｲｼｶﾜｹﾝ"), Cp932("ｶﾅｻﾞﾜｼ"), Cp932(reading), "k", "k", Cp932(kanji), "1",
              "0", "0", "1", "0", "0"},
             "\r\n",
             line};
}

std::vector<Row> Join(std::vector<Row> rows, SplitTownJoiner& joiner) {
  std::vector<Row> ready;
  for (Row& row : rows) joiner.Add(std::move(row), ready);
  joiner.Finish(ready);
  return ready;
}

}  // namespace

TEST(OpensParenthesis, CountsWholeCharactersOnly) {
  EXPECT_TRUE(prep::import::OpensParenthesis(Cp932("大桑町（ア、")));
  EXPECT_FALSE(prep::import::OpensParenthesis(Cp932("大通西（１～１９丁目）")));
  EXPECT_FALSE(prep::import::OpensParenthesis(Cp932("旭ケ丘")));
  // 0x88 0x81 is one character; the "i" (0x69) after it is no "（" trail.
  EXPECT_FALSE(
      prep::import::OpensParenthesis("\x88\x81"
                                     "i"));
}

TEST(SplitTownJoiner, ContinuedReadingIsJoined) {
  SplitTownJoiner joiner;
  auto rows = Join({MakeRow("9218046", "ｵｵｸﾜﾏﾁ(ｱ､", "大桑町（ア、", 1), MakeRow("9218046", "ｸ､ｹ､", "ク、ケ、", 2),
                    MakeRow("9218046", "ﾜ)", "和）", 3), MakeRow("9218046", "ﾐﾂｺｳｼﾞﾏﾁ(ﾍ)", "三小牛町（ヘ）", 4)},
                   joiner);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].fields[5], Cp932("ｵｵｸﾜﾏﾁ(ｱ､ｸ､ｹ､ﾜ)"));
  EXPECT_EQ(rows[0].fields[8], Cp932("大桑町（ア、ク、ケ、和）"));
  EXPECT_EQ(rows[0].lineNumber, 1);
  EXPECT_EQ(rows[0].lineEnd, "\r\n");
  EXPECT_EQ(rows[1].fields[8], Cp932("三小牛町（ヘ）"));
  EXPECT_EQ(joiner.townsJoined(), 1);
  EXPECT_EQ(joiner.rowsJoined(), 3);
}

TEST(SplitTownJoiner, RepeatedReadingIsKeptOnce) {
  SplitTownJoiner joiner;
  auto rows = Join({MakeRow("6028134", "ｲｯﾁｮｳﾒ", "一町目（大宮通椹木町下る、", 1),
                    MakeRow("6028134", "ｲｯﾁｮｳﾒ", "丸太町通大宮東入）", 2)},
                   joiner);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].fields[5], Cp932("ｲｯﾁｮｳﾒ"));
  EXPECT_EQ(rows[0].fields[8], Cp932("一町目（大宮通椹木町下る、丸太町通大宮東入）"));
}

TEST(SplitTownJoiner, TownThatNeverClosesIsKeptAsItStands) {
  SplitTownJoiner joiner;
  auto rows =
      Join({MakeRow("1000001", "ｱ(", "亜（", 1), MakeRow("1000002", "ｲ", "伊", 2), MakeRow("1000003", "ｳ(", "宇（", 3)},
           joiner);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].fields[8], Cp932("亜（"));
  EXPECT_EQ(rows[1].fields[8], Cp932("伊"));
  EXPECT_EQ(rows[2].fields[8], Cp932("宇（"));
  EXPECT_EQ(joiner.townsLeftOpen(), 2);
  EXPECT_EQ(joiner.townsJoined(), 0);
}
