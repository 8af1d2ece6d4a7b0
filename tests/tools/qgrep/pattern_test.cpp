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
  // Not valid expressions: matched as the text they are.
  EXPECT_TRUE(Matches("(株", line));
  EXPECT_TRUE(Matches("（株", line));
  EXPECT_FALSE(Matches("(株", "株式会社"));
  EXPECT_TRUE(Matches("a[", "xa[y"));
  EXPECT_FALSE(Matches("a[", "xay"));
}

TEST(PatternTerms, AnExpressionThatBacktracksWithoutEndStopsInsteadOfHanging) {
  Pattern p("^(a|aa)*(b|c)*$ and x");
  std::string line(60, 'a');
  line += 'x';
  std::string buffer;
  EXPECT_EQ(p.Match(qgrep::FoldCp932(line, buffer)), MatchResult::kTooCostly);
  EXPECT_EQ(p.CostlyTerm(), "^(a|aa)*(b|c)*$");
}
