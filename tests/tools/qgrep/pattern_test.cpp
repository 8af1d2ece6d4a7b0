#include "tools/qgrep/pattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "tools/qgrep/fold.h"

using qgrep::MatchResult;
using qgrep::Pattern;
using qgrep::SplitTerms;

namespace {

// Whether the pattern matches a line given in UTF-8 (converted to CP932
// and folded, as a line of a file is).
bool Matches(const std::string& pattern, const std::string& line) {
  Pattern p(pattern);
  std::string buffer;
  return p.Match(qgrep::FoldCp932(platform::text::Cp932(line), buffer)) == MatchResult::kMatch;
}

using Terms = std::vector<std::string>;

}  // namespace

TEST(PatternTerms, SplitAtSpaceAndSpace) {
  EXPECT_EQ(SplitTerms("さっぽろ and 南一条"), (Terms{"さっぽろ", "南一条"}));
  // What the search dialog sends for leading, repeated and trailing spaces.
  EXPECT_EQ(SplitTerms("a and  and b and "), (Terms{"a", "b"}));
  EXPECT_EQ(SplitTerms(" and "), Terms{});
  EXPECT_EQ(SplitTerms(""), Terms{});
  // "and" inside a word, or without both spaces, is no separator.
  EXPECT_EQ(SplitTerms("band andes"), Terms{"band andes"});
  EXPECT_EQ(SplitTerms("x and"), Terms{"x and"});
}

TEST(PatternTerms, EveryTermMustMatch) {
  const std::string line = "01101,\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ﾐﾅﾐ1ｼﾞｮｳﾆｼ\",\"札幌市中央区\",\"南一条西\"";
  EXPECT_TRUE(Matches("さっぽろ and 南一条", line));
  EXPECT_TRUE(Matches("南一条 and さっぽろ and ミナミ1ジョウ", line));
  EXPECT_FALSE(Matches("さっぽろ and 北一条", line));
  // No terms: every line, the empty one too.
  EXPECT_TRUE(Matches("", line));
  EXPECT_TRUE(Matches(" and ", ""));
}

TEST(PatternTerms, ExpressionsAndTheirLiteralFallback) {
  const std::string line = "\"0600061\",\"札幌市中央区\",\"伊藤組土建　（株）\"";
  EXPECT_TRUE(Matches("^\"06\\d{5}\"", line));
  EXPECT_FALSE(Matches("^\"07\\d{5}\"", line));
  EXPECT_TRUE(Matches("札幌市(中央|北)区", line));
  // Without regard to case, and folded like the line.
  EXPECT_TRUE(Matches("[a-z]+", "ＡＢＣ"));
  EXPECT_TRUE(Matches("ﾎﾟ.?ﾛ$", "さっぽろ"));
  // Back-references and look-around, which only the backtracking engine
  // has, fold alike.
  EXPECT_TRUE(Matches("(ぽ)\\1", "ｻｯﾎﾟﾎﾟﾛ"));
  EXPECT_FALSE(Matches("(ぽ)\\1", "ｻｯﾎﾟﾛ"));
  EXPECT_TRUE(Matches("札幌(?=市)", line));
  EXPECT_FALSE(Matches("札幌(?!市)", line));
  // Not written as expressions at all: matched as the text they are.
  EXPECT_TRUE(Matches("(株", line));
  EXPECT_TRUE(Matches("（株", line));
  EXPECT_FALSE(Matches("(株", "株式会社"));
  EXPECT_TRUE(Matches("a[", "xa[y"));
  EXPECT_FALSE(Matches("a[", "xay"));
  EXPECT_EQ(Pattern("a[ and *1").Error(), "");
  // Valid expressions that cannot be compiled are errors, never text.
  EXPECT_EQ(Pattern("東京 and (\\d,?){1,4000}").Error(),
            "expression cannot be searched: \"(\\d,?){1,4000}\" (regular expression is too large)");
  EXPECT_EQ(Pattern("(?<=\\d+)0").Error(),
            "expression cannot be searched: \"(?<=\\d+)0\" (lookbehind assertion is not fixed length)");
}

TEST(PatternTerms, OnlyAPostalCodeMatchesWithAndWithoutItsHyphen) {
  const std::string written = "ﾓｷﾄｳｼ(759-2786ﾊﾞﾝﾁ)", joined = "ﾓｷﾄｳｼ(7592786ﾊﾞﾝﾁ)";
  for (const char* term : {"759-2786", "７５９－２７８６", "759ー2786", "ｼ(759-2786"}) {
    EXPECT_TRUE(Matches(term, written)) << term;
    EXPECT_TRUE(Matches(term, joined)) << term;
  }
  // Other digit-hyphen runs match as written only.
  for (const char* term : {"-2786", "59-2786", "9-278"}) {
    EXPECT_TRUE(Matches(term, written)) << term;
    EXPECT_FALSE(Matches(term, joined)) << term;
  }
  EXPECT_FALSE(Matches("7592786", written));
  EXPECT_FALSE(Matches("1759-2786", written));
  // Each code of a term in either form.
  EXPECT_TRUE(Matches("060-0061,100-0001", "0600061,100-0001"));
  EXPECT_FALSE(Matches("060-0061,100-0001", "0600061,1000002"));
}

TEST(PatternTerms, OneBudgetBoundsTheWholeSearch) {
  // Backtracking without end needs the backtracking engine only where the
  // expression needs look-around; the same shape without it is linear.
  std::string buffer;
  const std::string_view sixty = qgrep::FoldCp932(std::string(60, 'a') + "c", buffer);
  Pattern linear("^(a|aa)*(b|c)*$ and x");
  EXPECT_EQ(linear.Match(sixty), MatchResult::kNoMatch);
  Pattern backtracking("x and ^(a|aa)*(?=b)", qgrep::BudgetLimits{0, 0});
  EXPECT_EQ(backtracking.Match(qgrep::FoldCp932(std::string(60, 'a') + "x", buffer)), MatchResult::kTooCostly);
  EXPECT_EQ(backtracking.CostlyTerm(), "^(a|aa)*(?=b)");

  // Lines that are each cheap spend it together.
  Pattern shared("^(a|aa)*(?=b)", qgrep::BudgetLimits{0, 0});
  const std::string line(14, 'a');
  int told = 0;
  while (told < 1000 && shared.Match(line) == MatchResult::kNoMatch) ++told;
  EXPECT_GT(told, 0);
  EXPECT_LT(told, 1000) << told;
  EXPECT_EQ(shared.Match("b"), MatchResult::kTooCostly);  // it stays spent

  // A linear expression is refused where its worst case on one line is
  // too long; a small one still answers there.
  const std::string megabyte = std::string(1 << 20, 'a') + "z";
  EXPECT_EQ(Pattern(".{1000}y").Match(megabyte), MatchResult::kTooCostly);
  EXPECT_EQ(Pattern("a.*a.*z").Match(megabyte), MatchResult::kMatch);
}
