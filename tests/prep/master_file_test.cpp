#include "prep/master_file.h"

#include <fcntl.h>  // O_ACCMODE, O_RDONLY
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

using platform::text::Cp932;
using prep::MasterFile;
using prep::MasterRecord;
using prep::ReadResult;

namespace {

// A master line with the given fields 3 to 6 and 9 (CP932 bytes).
std::string MasterLine(const std::string& code, const std::string& prefecture, const std::string& city,
                       const std::string& town, const std::string& kanji, const std::string& end = "\n") {
  return "01101,060  ," + code + "," + prefecture + "," + city + "," + town + ",x,y," + kanji + ",0,0,0,0,0,0" + end;
}

}  // namespace

TEST(ReadMasterByte, ReturnsEachByteThenTheEmptyString) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", "a,\n");
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  EXPECT_EQ(master.ReadMasterByte(), "a");
  EXPECT_EQ(master.lastChar(), "a");
  EXPECT_EQ(master.ReadMasterByte(), ",");
  EXPECT_EQ(master.ReadMasterByte(), "\n");
  EXPECT_EQ(master.ReadMasterByte(), "");
  EXPECT_EQ(master.lastChar(), "");
  EXPECT_EQ(master.ReadMasterByte(), "");
  EXPECT_FALSE(master.ReadFailed());
}

TEST(ReadMasterByte, PassesOverZeroBytes) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", std::string("a\0\0b", 4));
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  EXPECT_EQ(master.ReadMasterByte(), "a");
  EXPECT_EQ(master.ReadMasterByte(), "b");
  EXPECT_EQ(master.ReadMasterByte(), "");
}

TEST(MasterFileOpen, OpensReadOnlyAndFailsWhenMissing) {
  TempDir dir;
  MasterFile master;
  EXPECT_EQ(master.Open("ALL_ZIP.TXT"), -1);
  EXPECT_FALSE(master.IsOpen());

  dir.Write("all_zip.txt", "x");
  platform::ScopedOverride restore(platform::files::Sys());
  int flags = -1;
  auto realOpen = platform::files::Sys().open;
  platform::files::Sys().open = [&](const char* path, int f, mode_t mode) {
    flags = f;
    return realOpen(path, f, mode);
  };
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  EXPECT_EQ(flags & O_ACCMODE, O_RDONLY);
  EXPECT_EQ(master.ReadMasterByte(), "x");
}

TEST(ReadRecord, PicksTheFieldsByCountingCommas) {
  TempDir dir;
  // 北 is 0x96 0x6B; ソ 0x83 0x5C ends in a backslash; 海 0x8A 0x43 ends in
  // "C": trail bytes never pass for separators.
  std::string kanji = Cp932("北ソ海");
  dir.Write("ALL_ZIP.TXT", MasterLine("0600000", Cp932("ﾎｯｶｲﾄﾞｳ"), Cp932("ｻｯﾎﾟﾛｼ"), Cp932("ｲｶﾆ"), kanji));
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  MasterRecord record;
  ASSERT_EQ(master.ReadRecord(record), ReadResult::kRecord);
  EXPECT_EQ(record.postalCode, "0600000");
  EXPECT_EQ(record.prefecture, Cp932("ﾎｯｶｲﾄﾞｳ"));
  EXPECT_EQ(record.city, Cp932("ｻｯﾎﾟﾛｼ"));
  EXPECT_EQ(record.town, Cp932("ｲｶﾆ"));
  EXPECT_EQ(record.kanjiTown, kanji);
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kEnd);
}

TEST(ReadRecord, CrLfReadsLikeLf) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", MasterLine("1", "p", "c", "t", "k", "\r\n") + MasterLine("2", "p", "c", "t", "k", "\r\n"));
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  MasterRecord record;
  ASSERT_EQ(master.ReadRecord(record), ReadResult::kRecord);
  EXPECT_EQ(record.kanjiTown, "k");
  ASSERT_EQ(master.ReadRecord(record), ReadResult::kRecord);
  EXPECT_EQ(record.postalCode, "2");
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kEnd);
}

TEST(ReadRecord, ShortLinesAreSkippedAndNeverRunIntoTheNext) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT",
            "a,b,c,d,e,f,g,h\n"
            "\n" +
                MasterLine("2", "p", "c", "t", "k"));
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  MasterRecord record;
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kShortRecord);
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kShortRecord);
  ASSERT_EQ(master.ReadRecord(record), ReadResult::kRecord);
  EXPECT_EQ(record.postalCode, "2");
  EXPECT_EQ(record.town, "t");
}

TEST(ReadRecord, LastLineWithoutLineFeed) {
  TempDir dir;
  // Its ninth comma read: a record.
  dir.Write("ALL_ZIP.TXT", "1,2,3,4,5,6,7,8,9,");
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  MasterRecord record;
  ASSERT_EQ(master.ReadRecord(record), ReadResult::kRecord);
  EXPECT_EQ(record.kanjiTown, "9");
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kEnd);

  // Cut before its ninth comma: passed over, and the reader still ends.
  dir.Write("ALL_ZIP.TXT", "1,2,3,4,5,6,7,8,9");
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kShortRecord);
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kEnd);
}

TEST(ReadRecord, EmptyFileEndsAtOnce) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", "");
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  MasterRecord record;
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kEnd);
}

TEST(ReadRecord, FailedReadIsToldApartFromTheEnd) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", "1,2,3");
  MasterFile master;
  ASSERT_EQ(master.Open("ALL_ZIP.TXT"), 0);
  platform::ScopedOverride restore(platform::files::Sys());
  platform::files::Sys().read = [](int, void*, size_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
  MasterRecord record;
  EXPECT_EQ(master.ReadRecord(record), ReadResult::kReadError);
  EXPECT_TRUE(master.ReadFailed());
}
