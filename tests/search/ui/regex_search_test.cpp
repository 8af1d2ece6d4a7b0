#include "search/ui/model/regex_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>  // chmod, mkfifo
#include <unistd.h>    // alarm

#include <filesystem>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/text/cp932.h"
#include "search/ui/model/outside_text.h"
#include "tests/support/temp_dir.h"

namespace search::ui {
namespace {

using platform::text::Cp932;
using Args = std::vector<std::string>;

const std::string kOptions = " -G -V0 -Evesk -Ores_s ";

// The grep program's arguments as it receives them from the command text.
Args GrepArguments(const std::string& commandText) {
  return platform::SplitCommandLine(platform::JoinCommandLine({"qgrep.exe", commandText}));
}

TEST(GrepPattern, QuotesTheWordsAndJoinsThemWithAnd) {
  EXPECT_EQ(GrepPattern("sapporo"), "\"sapporo\"");
  EXPECT_EQ(GrepPattern("a   b"), "\"a and b\"");
  EXPECT_EQ(GrepPattern("  a b  "), "\"a and b and \"");  // leading spaces vanish, a trailing run leaves " and "
  EXPECT_EQ(GrepPattern("   "), "\"\"");
  EXPECT_EQ(GrepPattern(""), "\"\"");
  // The full-width space (0x81 0x40) is an ordinary character.
  EXPECT_EQ(GrepPattern(Cp932("南　一条")), "\"" + Cp932("南　一条") + "\"");
}

TEST(GrepCommandText, NamesTheFilesOfTheKind) {
  EXPECT_EQ(GrepCommandText("x", SearchKind::kAll), kOptions + "\"x\" *.csv");
  EXPECT_EQ(GrepCommandText("x", SearchKind::kOffices), kOptions + "\"x\" Jigyosyo.csv");
  EXPECT_EQ(GrepCommandText("x", SearchKind::kGeneral), kOptions + "\"x\" Ken_all.csv");
}

TEST(GrepCommandText, TheUsersTextIsAlwaysTheOnePatternArgument) {
  const std::string so = Cp932("ソ");  // 0x83 0x5C: its trail byte is no backslash
  struct Case {
    std::string typed;
    std::string pattern;  // as the grep program receives it
  };
  for (const Case& c : std::vector<Case>{
           {"say \"hi\" x.csv", "say and \"hi\" and x.csv"},
           {"end\\", "end\\"},
           {"a\\\"b", "a\\\"b"},
           {so + "\"", so + "\""},
           // A lead byte without its trail byte would swallow the closing
           // quote or a space: it is dropped.
           {"x\x81", "x"},
           {"x\x81 y", "x and y"},
           {"\x81\"", "\""},
       }) {
    Args args = GrepArguments(GrepCommandText(c.typed, SearchKind::kGeneral));
    EXPECT_EQ(args, (Args{"qgrep.exe", "-G", "-V0", "-Evesk", "-Ores_s", c.pattern, "Ken_all.csv"})) << c.typed;
  }
}

// A message from outside in a box: its first line in CP932. What CP932
// lacks (an emoji, a control character) is "?", never a stop of the
// program; a character cut off by the read limit is dropped.
TEST(BoxLine, TheFirstLineInCp932WithQuestionMarksForWhatItLacks) {
  EXPECT_EQ(BoxLine("qgrep: 長い.csv: stopped\r\nsecond line\n"), Cp932("qgrep: 長い.csv: stopped"));
  EXPECT_EQ(BoxLine("a\xF0\x9F\x98\x80"
                    "b\tc"),
            "a?b?c");                      // U+1F600, then a tab
  EXPECT_EQ(BoxLine("ab\xE9\x95"), "ab");  // the first two bytes of 長
  EXPECT_EQ(BoxLine("\x95x"), "?x");       // a trail byte alone
}

TEST(RemoveEnterBytes, RemovesBackspaceLineFeedFormFeedAndCarriageReturn) {
  std::string text = "\ba\r\nb\fc\td";
  EXPECT_TRUE(RemoveEnterBytes(text));
  EXPECT_EQ(text, "abc\td");
  EXPECT_FALSE(RemoveEnterBytes(text));
  EXPECT_EQ(text, "abc\td");
}

class GrepOutput : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(GrepOutput, LinesEndInCrLfAndNulAddsNothing) {
  dir_.Write("res_s", std::string("a,b\r\nc\nd\0e\r", 11));
  EXPECT_EQ(ReadGrepOutput("res_s"), std::optional<std::string>("a,b\r\nc\r\nde\r"));
  dir_.Write("res_s", "");
  EXPECT_EQ(ReadGrepOutput("res_s"), std::optional<std::string>(""));
}

TEST_F(GrepOutput, AMissingFileIsNothingAndAReadOnlyOneIsRead) {
  EXPECT_EQ(ReadGrepOutput("res_s"), std::nullopt);
  // So is a named pipe, read without waiting for a writer.
  ASSERT_EQ(mkfifo("res_s", 0666), 0);
  alarm(20);
  EXPECT_EQ(ReadGrepOutput("res_s"), std::nullopt);
  alarm(0);
  std::filesystem::remove("res_s");
  dir_.Write("res_s", "x\r\n");
  ASSERT_EQ(chmod("res_s", 0444), 0);
  EXPECT_EQ(ReadGrepOutput("res_s"), std::optional<std::string>("x\r\n"));
}

TEST_F(GrepOutput, FifteenThousandCharactersAreCutWithTheNotice) {
  const std::string notice = Cp932("\r\n＊＊＊ 検索結果が多すぎますので、切り捨てます。＊＊＊\r\n\r\n");
  // "abc" and CR LF are four characters as read: 3750 lines are 15000.
  std::string lines;
  for (int i = 0; i < 3750; ++i) lines += "abc\r\n";
  const std::string allButTheLast = lines.substr(0, lines.size() - 2);

  dir_.Write("res_s", lines);  // 15000: the notice, though nothing was cut
  EXPECT_EQ(ReadGrepOutput("res_s"), notice + lines);
  dir_.Write("res_s", allButTheLast);  // 14999
  EXPECT_EQ(ReadGrepOutput("res_s"), allButTheLast);
  dir_.Write("res_s", lines + "z");  // 15001: the last one is cut
  EXPECT_EQ(ReadGrepOutput("res_s"), notice + lines);
}

}  // namespace
}  // namespace search::ui
