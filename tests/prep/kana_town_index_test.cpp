#include "prep/kana_town_index.h"

#include <gtest/gtest.h>
#include <sys/stat.h>  // mkdir

#include <algorithm>  // std::min
#include <cerrno>
#include <string>
#include <vector>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

using platform::text::Cp932;
using prep::KanaTownIndexBuilder;

namespace {

// Keeps every box shown, in UTF-8.
class RecordingMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view text, std::string_view caption, prep::MessageButtons buttons) override {
    shown.push_back(platform::text::ToUtf8(caption) + (buttons == prep::MessageButtons::kYesNo ? " [yes/no]: " : ": ") +
                    platform::text::ToUtf8(text));
    return 1;
  }
  void ShowReason(std::string_view reason) override { reasons.emplace_back(reason); }
  std::vector<std::string> shown;
  std::vector<std::string> reasons;
};

using Shown = std::vector<std::string>;

std::string MasterLine(const std::string& code, const std::string& city, const std::string& town,
                       const std::string& kanji, const std::string& end = "\n") {
  return "01101,060  ," + code + "," + Cp932("ﾎｯｶｲﾄﾞｳ") + "," + Cp932(city) + "," + Cp932(town) + ",x,y," +
         Cp932(kanji) + ",0,0,0,0,0,0" + end;
}

// The index line the builder should write for MasterLine's fields.
std::string IndexLine(const std::string& code, const std::string& city, const std::string& town,
                      const std::string& kanji) {
  return Cp932(town) + "," + Cp932("ﾎｯｶｲﾄﾞｳ") + "," + code + "," + Cp932(city) + "," + Cp932(kanji) + "\n";
}

// A temporary directory holding a master file and "Zip_Code", as the tool's
// button leaves it; the builds of a test share their memory of the last
// city initial, as the presses of the tool's button do.
class KanaTownIndexTest : public ::testing::Test {
 protected:
  KanaTownIndexTest() { mkdir("Zip_Code", 0777); }
  int Build() {
    KanaTownIndexBuilder builder(messages_);
    int result = builder.BuildKanaTownIndex("", cityInitial_);
    written_ = builder.recordsWritten();
    skipped_ = builder.recordsSkipped();
    withoutFile_ = builder.recordsWithoutFile();
    return result;
  }
  TempDir dir_;
  RecordingMessages messages_;
  std::string cityInitial_;
  long written_ = 0;
  long skipped_ = 0;
  long withoutFile_ = 0;
};

}  // namespace

TEST(KanaIndexNames, PathKeyAndLine) {
  prep::MasterRecord record{"0600000", Cp932("ﾎｯｶｲﾄﾞｳ"), Cp932("ｻｯﾎﾟﾛｼ"), Cp932("ｲｶﾆ"), Cp932("以下")};
  EXPECT_EQ(prep::KanaIndexKey(record), Cp932("N_ｻ\\ｲｶ"));
  EXPECT_EQ(prep::KanaIndexPath(Cp932("N_ｻ\\ｲｶ")), Cp932("ZIP_CODE\\N_ｻ\\ｲｶ.Idx"));
  EXPECT_EQ(prep::KanaIndexLine(record), Cp932("ｲｶﾆ,ﾎｯｶｲﾄﾞｳ,0600000,ｻｯﾎﾟﾛｼ,以下") + "\n");
}

TEST_F(KanaTownIndexTest, WritesOneLineByteForByte) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("0600000", "ｻﾂﾎﾟﾛｼ", "ｲｶﾆｹｲｻｲ", "以下に掲載がない場合"));
  Build();
  EXPECT_EQ(written_, 1);
  // ｲｶﾆｹｲｻｲ,ﾎｯｶｲﾄﾞｳ,0600000,ｻﾂﾎﾟﾛｼ,以下に掲載がない場合 LF, nothing else.
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            "\xB2\xB6\xC6\xB9\xB2\xBB\xB2,\xCE\xAF\xB6\xB2\xC4\xDE\xB3,0600000,"
            "\xBB\xC2\xCE\xDF\xDB\xBC,"
            "\x88\xC8\x89\xBA\x82\xC9\x8C\x66\x8D\xDA\x82\xAA\x82\xC8\x82\xA2\x8F\xEA\x8D\x87\n");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(KanaTownIndexTest, VoicedKanaIsTheTwoTownLetters) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｶﾞｸｴﾝ", "学園"));
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｶﾞ.Idx"), IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｶﾞｸｴﾝ", "学園"));
  EXPECT_FALSE(dir_.Exists("Zip_Code/N_ｻ/ｶｸ.Idx"));
}

TEST_F(KanaTownIndexTest, CitiesSharingInitialAndTownLettersShareAFileInMasterOrder) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶﾞﾗｼ", "五十嵐") + MasterLine("9", "ｱｻﾋｶﾜｼ", "ｲｶ", "伊香") +
                                MasterLine("1", "ｻｶｲｼ", "ｲｶﾘ", "伊狩"));
  Build();
  // ｲｶﾞﾗｼ begins with the bytes ｲ and ｶ; lines keep master order, not code order.
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            IndexLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶﾞﾗｼ", "五十嵐") + IndexLine("1", "ｻｶｲｼ", "ｲｶﾘ", "伊狩"));
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｱ/ｲｶ.Idx"), IndexLine("9", "ｱｻﾋｶﾜｼ", "ｲｶ", "伊香"));
}

TEST_F(KanaTownIndexTest, BuildingTwiceDoublesEveryFile) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一") + MasterLine("2", "ｱｻﾋｶﾜｼ", "ｲｶ", "二"));
  Build();
  Build();
  std::string one = IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一");
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), one + one);
  std::string two = IndexLine("2", "ｱｻﾋｶﾜｼ", "ｲｶ", "二");
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｱ/ｲｶ.Idx"), two + two);
}

TEST_F(KanaTownIndexTest, CrLfMasterGivesTheSameLines) {
  dir_.Write("ALL_ZIP.TXT",
             MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一", "\r\n") + MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二", "\r\n"));
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一") + IndexLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二"));
}

TEST_F(KanaTownIndexTest, ZipCodeInEitherCaseIsOneDirectory) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
  Build();
  EXPECT_TRUE(dir_.Exists("Zip_Code/N_ｻ/ｲｶ.Idx"));
  EXPECT_FALSE(dir_.Exists("ZIP_CODE"));
}

TEST_F(KanaTownIndexTest, ShortTownsAreKeyedByTheirOwnBytes) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻｶﾞｼ", "ｴ", "江") + MasterLine("2", "ｻｶﾞｼ", "", "空"));
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｴ.Idx"), IndexLine("1", "ｻｶﾞｼ", "ｴ", "江"));
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/.Idx"), IndexLine("2", "ｻｶﾞｼ", "", "空"));
  EXPECT_FALSE(dir_.Exists("Zip_Code/N_ｻ/ｴ,.Idx"));
}

TEST_F(KanaTownIndexTest, EmptyCityIsFiledUnderItsComma) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "", "ｲｶ", "一"));
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_,/ｲｶ.Idx"), IndexLine("1", "", "ｲｶ", "一"));
}

TEST_F(KanaTownIndexTest, MalformedMasterLinesAreSkippedAndCounted) {
  dir_.Write("ALL_ZIP.TXT",
             "01101,060,1,p,c\n"
             "\n" +
                 MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二") + std::string("\0", 1) + MasterLine("3", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "三") +
                 "1,2,3,4,5,6,7,8");
  Build();
  EXPECT_EQ(written_, 2);
  EXPECT_EQ(skipped_, 3);
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            IndexLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二") + IndexLine("3", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "三"));
}

TEST_F(KanaTownIndexTest, LastRecordWithoutLineFeedIsWritten) {
  std::string line = MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一");
  line.pop_back();
  dir_.Write("ALL_ZIP.TXT", line);
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
}

TEST_F(KanaTownIndexTest, EmptyMasterWritesNothing) {
  dir_.Write("ALL_ZIP.TXT", "");
  Build();
  EXPECT_EQ(written_, 0);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(KanaTownIndexTest, RecordsWhoseKeyNamesNoFileOfItsOwnAreSkipped) {
  // ア (0x83 0x41) as the city's first character: its lead byte would take
  // the "\" after it as its trail byte. A "/" in the town letters or as the
  // city initial would split the path.
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "アサヒ", "/0", "一") + MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｱ/", "二") +
                                MasterLine("3", "/ｻ", "ｲｶ", "三") + MasterLine("4", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "四"));
  EXPECT_EQ(Build(), 0);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(written_, 1);
  EXPECT_EQ(withoutFile_, 3);
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), IndexLine("4", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "四"));
  EXPECT_FALSE(dir_.Exists("Zip_Code/N_"));
}

TEST_F(KanaTownIndexTest, CityDirectoryIsMadeOncePerRunOfInitials) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一") + MasterLine("2", "ｻｶｲｼ", "ｲｶ", "二") +
                                MasterLine("3", "ｱｻﾋｶﾜｼ", "ｲｶ", "三") + MasterLine("4", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "四"));
  platform::ScopedOverride restore(platform::files::Sys());
  std::vector<std::string> made;
  auto realMkdir = platform::files::Sys().mkdir;
  platform::files::Sys().mkdir = [&](const char* path, mode_t mode) {
    made.push_back(path);
    return realMkdir(path, mode);
  };
  Build();
  EXPECT_EQ(made, (std::vector<std::string>{"Zip_Code/N_ｻ", "Zip_Code/N_ｱ", "Zip_Code/N_ｻ"}));
  // The last initial outlives the build: a second one starting with ｻ makes
  // its first directory only when the initial changes.
  made.clear();
  Build();
  EXPECT_EQ(made, (std::vector<std::string>{"Zip_Code/N_ｱ", "Zip_Code/N_ｻ"}));
  EXPECT_EQ(cityInitial_, Cp932("ｻ"));
}

TEST_F(KanaTownIndexTest, ShortWritesAreCompleted) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
  platform::ScopedOverride restore(platform::files::Sys());
  auto realWrite = platform::files::Sys().write;
  platform::files::Sys().write = [&](int fd, const void* buf, size_t n) { return realWrite(fd, buf, n > 3 ? 3 : n); };
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
}

TEST_F(KanaTownIndexTest, MoreLinesThanTheStoreHoldsAreAllWrittenInOrder) {
  // Enough records to fill the line store more than once, alternating
  // between two files. Each line is converted once; the code varies.
  const std::string masterLines[] = {MasterLine("|", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"), MasterLine("|", "ｻﾂﾎﾟﾛｼ", "ｳｴ", "一")};
  const std::string indexLines[] = {IndexLine("|", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"), IndexLine("|", "ｻﾂﾎﾟﾛｼ", "ｳｴ", "一")};
  auto withCode = [](const std::string& line, const std::string& code) {
    size_t at = line.find('|');
    return line.substr(0, at) + code + line.substr(at + 1);
  };
  std::string master, expected[2];
  for (size_t i = 0; i < 2 * KanaTownIndexBuilder::kPendingBytes / 40; ++i) {
    std::string code = std::to_string(1000000 + i);
    master += withCode(masterLines[i % 2], code);
    expected[i % 2] += withCode(indexLines[i % 2], code);
  }
  ASSERT_GT(expected[0].size() + expected[1].size(), KanaTownIndexBuilder::kPendingBytes);
  dir_.Write("ALL_ZIP.TXT", master);
  Build();
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), expected[0]);
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｳｴ.Idx"), expected[1]);
}

// The fatal failures stop the build with -1 after their messages; the
// program then ends with status -1.

TEST_F(KanaTownIndexTest, MissingMasterFileIsFatal) {
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown, Shown{"ERROR [yes/no]: READ ファイルオープンエラー"});
}

TEST_F(KanaTownIndexTest, IndexFileThatCannotBeOpenedIsFatalAndKeepsEarlierLines) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｱｻﾋｶﾜｼ", "ｲｶ", "一") + MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二"));
  // A plain file where the directory N_ｻ belongs.
  dir_.Write("Zip_Code/N_ｻ", "");
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown,
            (Shown{"ERROR [yes/no]: ZIP_CODE\\N_ｻ\\ｲｶ.Idx", "ERROR [yes/no]: 50 インデックスファイルオープンエラー"}));
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｱ/ｲｶ.Idx"), IndexLine("1", "ｱｻﾋｶﾜｼ", "ｲｶ", "一"));
}

TEST_F(KanaTownIndexTest, FailedWriteIsFatalAndKeepsWhatWasWrittenBefore) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一") + MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｳｴ", "二") +
                                MasterLine("3", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "三"));
  platform::ScopedOverride restore(platform::files::Sys());
  int writes = 0;
  auto realWrite = platform::files::Sys().write;
  platform::files::Sys().write = [&](int fd, const void* buf, size_t n) -> ssize_t {
    if (++writes > 1) {
      errno = ENOSPC;
      return -1;
    }
    return realWrite(fd, buf, n);
  };
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown, Shown{"ERROR [yes/no]: Write インデックスファイルエラー"});
  // ｲｶ.Idx, whose first line came first, was written whole before ｳｴ.Idx failed.
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一") + IndexLine("3", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "三"));
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｳｴ.Idx"), "");
}

TEST_F(KanaTownIndexTest, WriteThatFallsShortIsCutBackOrSaysItCannotBe) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二"));
  std::string earlier = IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一");
  mkdir("Zip_Code/N_ｻ", 0777);
  dir_.Write("Zip_Code/N_ｻ/ｲｶ.Idx", earlier);
  platform::ScopedOverride restore(platform::files::Sys());
  // A disk that fills up: half of the first write lands, then nothing.
  bool full = false;
  auto realWrite = platform::files::Sys().write;
  platform::files::Sys().write = [&](int fd, const void* buf, size_t n) -> ssize_t {
    if (full) {
      errno = ENOSPC;
      return -1;
    }
    full = true;
    return realWrite(fd, buf, n / 2);
  };
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown, Shown{"ERROR [yes/no]: Write インデックスファイルエラー"});
  EXPECT_EQ(messages_.reasons, Shown{"cannot write Zip_Code/N_ｻ/ｲｶ.Idx: No space left on device"});
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), earlier);

  full = false;
  messages_.reasons.clear();
  platform::files::Sys().ftruncate = [](int, off_t) {
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.reasons,
            Shown{"cannot write Zip_Code/N_ｻ/ｲｶ.Idx: No space left on device; cannot cut it back to its " +
                  std::to_string(earlier.size()) + " bytes either (Input/output error), so it ends in a torn line"});
}

TEST_F(KanaTownIndexTest, FailedMasterReadIsFatalAfterWritingTheLinesReadBeforeIt) {
  std::string first = MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一");
  dir_.Write("ALL_ZIP.TXT", first + MasterLine("2", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "二"));
  platform::ScopedOverride restore(platform::files::Sys());
  bool served = false;
  auto realRead = platform::files::Sys().read;
  platform::files::Sys().read = [&](int fd, void* buf, size_t n) -> ssize_t {
    if (served) {
      errno = EIO;
      return -1;
    }
    served = true;
    return realRead(fd, buf, std::min(n, first.size()));
  };
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown, Shown{"ERROR [yes/no]: READ ファイルオープンエラー"});
  EXPECT_EQ(dir_.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), IndexLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
}

TEST_F(KanaTownIndexTest, FailedMasterReadBeforeAnyLineWritesNothing) {
  dir_.Write("ALL_ZIP.TXT", MasterLine("1", "ｻﾂﾎﾟﾛｼ", "ｲｶ", "一"));
  platform::ScopedOverride restore(platform::files::Sys());
  platform::files::Sys().read = [](int, void*, size_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
  EXPECT_EQ(Build(), -1);
  EXPECT_EQ(messages_.shown, Shown{"ERROR [yes/no]: READ ファイルオープンエラー"});
  EXPECT_FALSE(dir_.Exists("Zip_Code/N_ｻ"));
}
