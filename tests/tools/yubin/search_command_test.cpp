#include "tools/yubin/search_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

namespace yubin {
namespace {

using platform::text::Cp932;

TEST(KeypadBytes, KanaOfEveryKindBecomeHalfWidthLetters) {
  EXPECT_EQ(KeypadBytes("みな"), Cp932("ﾐﾅ"));
  EXPECT_EQ(KeypadBytes("ミナ"), Cp932("ﾐﾅ"));
  EXPECT_EQ(KeypadBytes("ﾐﾅ"), Cp932("ﾐﾅ"));
  EXPECT_EQ(KeypadBytes("が"), Cp932("ｶﾞ"));
  EXPECT_EQ(KeypadBytes("ぽ"), Cp932("ﾎﾟ"));
  EXPECT_EQ(KeypadBytes("を"), Cp932("ｦ"));
}

TEST(KeypadBytes, SmallKanaCountAsFullSize) {
  EXPECT_EQ(KeypadBytes("っ"), Cp932("ﾂ"));
  EXPECT_EQ(KeypadBytes("ゃュョ"), Cp932("ﾔﾕﾖ"));
  EXPECT_EQ(KeypadBytes("ｯ"), Cp932("ﾂ"));
}

TEST(KeypadBytes, DigitsAndSignsAreKeysOtherCharactersAreNot) {
  EXPECT_EQ(KeypadBytes("1２+-－ "), "12+-- ");
  EXPECT_EQ(KeypadBytes("漢"), std::nullopt);
  EXPECT_EQ(KeypadBytes("a"), std::nullopt);
  EXPECT_EQ(KeypadBytes("ー"), std::nullopt) << "the long vowel mark has no key";
  EXPECT_EQ(KeypadBytes("\xff"), std::nullopt);
}

// Each case runs in its own directory holding Tolvane.ini and an index.
class SearchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    directory_ = temp_.path();
    std::string record = directory_ + "/ZIP_CODE/";
    record.resize(500, '\0');
    Write("Tolvane.ini", record);
    // Directory N_ｻ (U+FF7B) with the files ﾐﾅ.Idx and ｲｶ.Idx.
    std::filesystem::create_directories(directory_ + "/ZIP_CODE/N_\uFF7B");
    Write("ZIP_CODE/N_\uFF7B/\uFF90\uFF85.Idx", Cp932("ﾐﾅﾐ1ｼﾞﾖｳﾆｼ,ﾎﾂｶｲﾄﾞｳ,0600061,ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ,南一条西\n"
                                                      "ﾐﾅﾐｻﾜ,ﾎﾂｶｲﾄﾞｳ,0050021,ｻﾂﾎﾟﾛｼﾐﾅﾐｸ,南沢\n"));
    Write("ZIP_CODE/N_\uFF7B/\uFF72\uFF76.Idx",
          Cp932("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ,ﾎﾂｶｲﾄﾞｳ,0600000,ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ,以下に掲載がない場合\n"));
  }

  static void Write(const std::string& hostPath, const std::string& bytes) {
    std::ofstream(hostPath, std::ios::binary) << bytes;
  }

  int Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = RunSearchCommand(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  TempDir temp_;
  std::string directory_;
  std::string out_;
  std::string err_;
};

TEST_F(SearchCommandTest, PrintsStatusLabelAndPage) {
  EXPECT_EQ(Run({"--pref", "ほ", "--city", "さ", "--ward", "ち", "--town", "みな"}), 0);
  EXPECT_EQ(out_,
            "status: ＊ 検索終了 ＊\n"
            "page: これだけです。\n"
            "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ\n"
            "(南一条西)\n");
  EXPECT_EQ(err_, "");
}

TEST_F(SearchCommandTest, OptionsTakeTheirValueAfterAnEqualsSign) {
  EXPECT_EQ(Run({"--pref=ホ", "--city=サ", "--town=ミナ", "--narrow=さわ"}), 0);
  EXPECT_NE(out_.find("(南沢)"), std::string::npos);
  EXPECT_EQ(out_.find("(南一条西)"), std::string::npos);
}

TEST_F(SearchCommandTest, ATownReadingChoosesTheFileByItsFirstTwoBytesAndNarrowsByTheRest) {
  // The index writes the small kana of じょう full-size: ﾐﾅﾐ1ｼﾞﾖｳﾆｼ.
  EXPECT_EQ(Run({"--city", "さ", "--town", "みなみ1じょう"}), 0);
  EXPECT_NE(out_.find("(南一条西)"), std::string::npos);
  EXPECT_EQ(out_.find("(南沢)"), std::string::npos);
  // A narrowing text of its own wins over the rest of the reading.
  EXPECT_EQ(Run({"--city", "さ", "--town", "みなみ1じょう", "--narrow", "さわ"}), 0);
  EXPECT_NE(out_.find("(南沢)"), std::string::npos);
  EXPECT_EQ(out_.find("(南一条西)"), std::string::npos);
  // あが is ｱｶﾞ: the file ｱｶ, narrowed by all three bytes.
  Write("ZIP_CODE/N_\uFF7B/\uFF71\uFF76.Idx",
        Cp932("ｱｶﾞﾜ,ﾎﾂｶｲﾄﾞｳ,0010001,ｻﾂﾎﾟﾛｼﾐﾅﾐｸ,赤川\nｱｶｲｼ,ﾎﾂｶｲﾄﾞｳ,0010002,ｻﾂﾎﾟﾛｼﾐﾅﾐｸ,赤石\n"));
  EXPECT_EQ(Run({"--city", "さ", "--town", "アガ"}), 0);
  EXPECT_NE(out_.find("(赤川)"), std::string::npos);
  EXPECT_EQ(out_.find("(赤石)"), std::string::npos);
}

TEST_F(SearchCommandTest, AReSearchAndItsBoxesAreReported) {
  EXPECT_EQ(Run({"--pref", "ほ", "--city", "さ", "--ward", "み", "--town", "みな", "--narrow", "ん"}), 1);
  EXPECT_EQ(err_,
            "[エラー：絶対存在しない検索データーを入力しました。]  ^(T|T)^  該当するものがありません。 "
            "住所を確かめて下さい。 (?^?) \n");
  EXPECT_EQ(out_, "status: ＊ 検索終了 ＊\npage: これだけです。\n");
}

TEST_F(SearchCommandTest, AMissingIndexFileIsReportedAndExitsOne) {
  EXPECT_EQ(Run({"--city", "か", "--town", "が"}), 1);
  EXPECT_EQ(err_, "[エラー] *** 該当データーがない ***\n");
  EXPECT_EQ(out_, "status: ＊ 検索中 ＊\npage: \n");
}

TEST_F(SearchCommandTest, MissingSettingsAreReported) {
  std::filesystem::remove(directory_ + "/Tolvane.ini");
  EXPECT_EQ(Run({"--city", "さ", "--town", "みな"}), 3);
  EXPECT_EQ(err_,
            "[エラー] ＊＊ Tolvane.ini ファイルが開く事ができません。＊＊\n"
            "yubin search: cannot read Tolvane.ini: No such file or directory; the search could not be "
            "completed\n");
  EXPECT_EQ(out_, "status: ＊ 検索終了 ＊\npage: \n");
}

TEST_F(SearchCommandTest, ASearchThatCouldNotBeCompletedExitsThree) {
  // An index file that cannot be read shows the box of a missing one.
  std::filesystem::create_directory(directory_ + "/ZIP_CODE/N_\uFF7B/\uFF76\uFF9E.Idx");  // ｶﾞ
  EXPECT_EQ(Run({"--city", "さ", "--town", "が"}), 3);
  EXPECT_EQ(err_,
            "[エラー] *** 該当データーがない ***\n"
            "yubin search: cannot open " +
                directory_ +
                "/ZIP_CODE/N_ｻ/ｶﾞ.Idx: Is a directory; the search "
                "could not be completed\n");

  platform::ScopedOverride restore(platform::files::Sys());
  platform::files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  EXPECT_EQ(Run({"--city", "さ", "--town", "みな"}), 3);
  EXPECT_EQ(err_,
            "yubin search: cannot write Result_Tmp: No space left on device; the search could not be "
            "completed\n");
  EXPECT_FALSE(std::filesystem::exists(directory_ + "/Result_Tmp"));
}

TEST_F(SearchCommandTest, FinalNarrowingRunsTheSecondPass) {
  EXPECT_EQ(Run({"--final", "--pref", "ほ", "--city", "さ", "--town", "みな", "--narrow", "さわ"}), 0);
  EXPECT_EQ(out_,
            "status: ＊ 検索終了 ＊\n"
            "page: これだけです。\n"
            "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾐﾅﾐｸ (^O^)=>>> 0050021 <<=(^O^) ﾐﾅﾐｻﾜ\n"
            "(南沢)\n");
}

TEST_F(SearchCommandTest, PagesPrintsAllFour) {
  EXPECT_EQ(Run({"--pages", "--city", "さ", "--town", "みな", "--narrow", "さわ"}), 0);
  EXPECT_NE(out_.find("=== page 1 ===\nﾎﾂｶｲﾄﾞｳ"), std::string::npos);
  EXPECT_NE(out_.find("=== page 2 ===\n=== page 3 ===\n=== page 4 ===\n"), std::string::npos);
}

TEST_F(SearchCommandTest, EveryPageHeaderStartsALine) {
  // 300 records of 189 display bytes: 56700 bytes, two pages cut inside a line.
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += Cp932("ﾐﾅﾐ" + std::string(124, '1') + ",ﾎﾂｶｲﾄﾞｳ,0600061,ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ,南\n");
  Write("ZIP_CODE/N_\uFF7B/\uFF90\uFF85.Idx", lines);
  EXPECT_EQ(Run({"--pages", "--city", "さ", "--town", "みな"}), 0);
  for (const char* header : {"\n=== page 2 ===\n", "\n=== page 3 ===\n", "\n=== page 4 ===\n"})
    EXPECT_NE(out_.find(header), std::string::npos) << header;
  EXPECT_EQ(Run({"--city", "さ", "--town", "みな"}), 0);
  EXPECT_TRUE(out_.ends_with("\n")) << "the shown page, cut inside a line, ends the output with a line end";
}

TEST_F(SearchCommandTest, UsageErrorsExitTwoAndSearchNothing) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--pref", "ほか"},
                                               {"--pref"},
                                               {"--color", "red"},
                                               {"--city", "漢"},
                                               {"--final=yes"},
                                               {"extra"}}) {
    EXPECT_EQ(Run(args), 2) << args[0];
    EXPECT_NE(err_.find("usage: yubin search"), std::string::npos);
    EXPECT_EQ(out_, "");
  }
  EXPECT_FALSE(std::filesystem::exists(directory_ + "/Result_Tmp"));
}

TEST_F(SearchCommandTest, HelpGoesToStandardOutput) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out_.find("usage: yubin search"), std::string::npos);
}

}  // namespace
}  // namespace yubin
