#include "tools/qgrep/prefilter.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "tools/qgrep/fold.h"

using platform::text::Cp932;
using qgrep::Prefilter;

// The prefilter may find lines that do not match, never miss one that
// does: every line whose folded form holds a term must hold a needle.
// Lines are pieced together from the spellings that folding brings
// together, postal codes with hyphens, and bytes without a character.
TEST(Prefilter, NeverMissesALineThatMatches) {
  const std::vector<std::string> pieces = {Cp932("ｻｯﾎﾟﾛ"),
                                           Cp932("さっぽろ"),
                                           Cp932("サッポロ"),
                                           Cp932("ｻﾂﾎﾟﾛ"),
                                           Cp932("ポ"),
                                           Cp932("ﾎﾟ"),
                                           Cp932("ﾛ"),
                                           Cp932("ｶ"),
                                           Cp932("ﾞ"),
                                           Cp932("ｶﾞ"),
                                           "060-0061",
                                           Cp932("０６０－００６１"),
                                           Cp932("060ｰ0061"),
                                           "0600061",
                                           "0",
                                           "1",
                                           "6",
                                           Cp932("０"),
                                           "-",
                                           Cp932("ｰ"),
                                           Cp932("ー"),
                                           "ABC",
                                           "abc",
                                           Cp932("ａｂｃ"),
                                           Cp932("札幌"),
                                           "\x85\x41",
                                           "\x80",
                                           "\x83",
                                           ",",
                                           " "};
  const std::vector<std::string> terms = {"さっぽろ", "ポロ",  "060-0061", "0600061", "00061", "0061",
                                          "0600",     "60006", "６0",      "ABC",     "ガ",    "ｶ",
                                          "ー",       "1-",    "札幌",     "ぽ",      "c0",    "ロ0"};
  std::mt19937 random(20260605);
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    for (int n = 1 + static_cast<int>(random() % 10); n > 0; --n) line += pieces[random() % pieces.size()];
    lines.push_back(line);
  }
  for (const std::string& term : terms) {
    std::string folded = qgrep::FoldUtf8(term, qgrep::FoldMode::kText);
    std::optional<Prefilter> prefilter = Prefilter::Choose({folded});
    ASSERT_TRUE(prefilter.has_value()) << term;
    int matching = 0;
    for (const std::string& line : lines) {
      std::string buffer;
      if (qgrep::FoldCp932(line, buffer).find(folded) == std::string::npos) continue;
      ++matching;
      ASSERT_LT(prefilter->Find(line.data(), line.size()), line.size())
          << term << " in " << platform::text::ToUtf8(line);
    }
    EXPECT_GT(matching, 0) << term;  // the case was tried
  }
}
