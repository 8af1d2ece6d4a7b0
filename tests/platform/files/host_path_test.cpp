#include "platform/files/host_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

using platform::files::HostName;
using platform::files::HostPath;
using platform::files::QuickHostPath;
using platform::files::SplitPath;

TEST(SplitPath, SeparatesAtBothSlashesAndDropsTheDrive) {
  bool absolute = false;
  auto parts = SplitPath("c:\\Zip_Code/N_x\\ab.Idx", absolute);
  EXPECT_TRUE(absolute);
  EXPECT_EQ(parts, (std::vector<std::string>{"Zip_Code", "N_x", "ab.Idx"}));
  parts = SplitPath("ZIP_CODE\\N_x", absolute);
  EXPECT_FALSE(absolute);
  EXPECT_EQ(parts.size(), 2u);
}

TEST(SplitPath, TrailByte5cIsNoSeparator) {
  // ソ 0x83 0x5C followed by a real separator.
  bool absolute = false;
  auto parts = SplitPath("\x83\x5C\\a", absolute);
  EXPECT_EQ(parts, (std::vector<std::string>{"\x83\x5C", "a"}));
}

TEST(SplitPath, ALeadByteBeforeASlashIsAByteOfItsOwn) {
  // 0x2F is never a trail byte: the slash after 0x81 separates, and the
  // lone byte stays in its own component.
  TempDir dir;
  bool absolute = false;
  auto parts = SplitPath("x\x81/../..", absolute);
  EXPECT_EQ(parts, (std::vector<std::string>{"x\x81", "..", ".."}));
  EXPECT_EQ(HostPath("x\x81/../.."), "x%81/../..");
}

TEST(HostName, WritesHalfWidthKanaAsUtf8) {
  // ｻ 0xBB -> U+FF7B; ｲｶ -> U+FF72 U+FF76.
  EXPECT_EQ(HostName("N_\xBB"), "N_\xEF\xBD\xBB");
  EXPECT_EQ(HostName("\xB2\xB6.Idx"), "\xEF\xBD\xB2\xEF\xBD\xB6.Idx");
  // ソ (0x83 0x5C) as one character.
  EXPECT_EQ(HostName("\x83\x5C"), "\xE3\x82\xBD");
}

TEST(HostName, EscapesBytesThatFormNoCharacter) {
  // A lone lead byte, a control byte and 0xFD (never valid) as %XX.
  EXPECT_EQ(HostName("a\x81"), "a%81");
  EXPECT_EQ(HostName("a\x01"
                     "b"),
            "a%01b");
  EXPECT_EQ(HostName("\xFD"), "%FD");
  EXPECT_EQ(HostName(std::string("x\0y", 3)), "x%00y");
}

TEST(HostName, APercentThatReadsAsAnEscapeIsEscapedItself) {
  // Each pair once mapped to one host name.
  EXPECT_EQ(HostName("%01"), "%2501");
  EXPECT_EQ(HostName("%e3"), "%25e3");  // names compare in either case
  EXPECT_EQ(HostName("\x85%40"), "%85%2540");
  EXPECT_EQ(HostName("\x85\x40"), "%85%40");
  EXPECT_EQ(HostName("%25"), "%2525");
  // Nothing else changes: "%20" is no escape's, "%4" and "%" end too soon.
  EXPECT_EQ(HostName("ken%20all.zip"), "ken%20all.zip");
  EXPECT_EQ(HostName("%4"), "%4");
  EXPECT_EQ(HostName("100%"), "100%");
}

TEST(HostPath, NamesDifferingInCaseFindOneDirectory) {
  TempDir dir;
  ASSERT_EQ(mkdir("Zip_Code", 0777), 0);
  EXPECT_EQ(HostPath("ZIP_CODE"), "Zip_Code");
  EXPECT_EQ(HostPath("zip_code\\N_a"), "Zip_Code/N_a");
  EXPECT_EQ(HostPath("Zip_Code"), "Zip_Code");
}

TEST(HostPath, ExactMatchWinsOverOtherSpellings) {
  TempDir dir;
  dir.Write("ab.IDX", "1");
  dir.Write("ab.Idx", "2");
  EXPECT_EQ(HostPath("ab.Idx"), "ab.Idx");
  EXPECT_EQ(HostPath("ab.IDX"), "ab.IDX");
  // No exact match: the first in byte order ("ab.IDX" < "ab.Idx").
  EXPECT_EQ(HostPath("AB.idx"), "ab.IDX");
}

TEST(HostPath, ShortNamesFindTheFirstSpellingInByteOrder) {
  TempDir dir;
  dir.Write("\uFF90.Idx", "1");  // ﾐ.Idx
  EXPECT_EQ(HostPath("\xD0.IDX"), "\uFF90.Idx");
  dir.Write("\uFF90.IdX", "2");
  EXPECT_EQ(HostPath("\xD0.idx"), "\uFF90.IdX");
  dir.Write("\uFF90.iDX", "3");
  EXPECT_EQ(HostPath("\xD0.idx"), "\uFF90.IdX");
  EXPECT_EQ(HostPath("\xD0.iDX"), "\uFF90.iDX");
  EXPECT_EQ(HostPath("\xD0.TXT"), "\uFF90.TXT");
}

TEST(HostPath, NewNamesKeepTheSpellingAskedFor) {
  TempDir dir;
  EXPECT_EQ(HostPath("New\\File.Txt"), "New/File.Txt");
  EXPECT_EQ(HostPath(""), ".");
}

TEST(HostPath, AbsolutePathsAndDrivePrefix) {
  TempDir dir;
  std::string base = dir.path();
  ASSERT_EQ(mkdir("Data", 0777), 0);
  EXPECT_EQ(HostPath("c:" + base + "\\DATA\\x"), base + "/Data/x");
}

TEST(HostPath, ResolvedDirectoryIsRememberedWhileItLasts) {
  TempDir dir;
  ASSERT_EQ(mkdir("Zip_Code", 0777), 0);
  ASSERT_EQ(mkdir("Zip_Code/N_a", 0777), 0);
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\x.Idx"), "Zip_Code/N_a/x.Idx");
  // Remembered: the quick path needs no lookup.
  EXPECT_EQ(QuickHostPath("ZIP_CODE\\N_a\\y.Idx"), "Zip_Code/N_a/y.Idx");
  EXPECT_EQ(QuickHostPath("Other\\y.Idx"), "Other/y.Idx");
  // Gone and made again in another spelling: found again.
  ASSERT_EQ(rmdir("Zip_Code/N_a"), 0);
  ASSERT_EQ(rmdir("Zip_Code"), 0);
  ASSERT_EQ(mkdir("zip_code", 0777), 0);
  ASSERT_EQ(mkdir("zip_code/n_A", 0777), 0);
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\x.Idx"), "zip_code/n_A/x.Idx");
  // A directory of the exact spelling appears: new names go there.
  ASSERT_EQ(mkdir("ZIP_CODE", 0777), 0);
  ASSERT_EQ(mkdir("ZIP_CODE/N_a", 0777), 0);
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\x.Idx"), "ZIP_CODE/N_a/x.Idx");
}

TEST(HostPath, RememberedRelativeDirectoryFollowsTheCurrentDirectory) {
  // A relative spelling learned in one directory must not lead a lookup
  // astray after the program moved to another that spells it differently.
  TempDir first;
  ASSERT_EQ(mkdir("Zip_Code", 0777), 0);
  ASSERT_EQ(mkdir("Zip_Code/N_a", 0777), 0);
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\x.Idx"), "Zip_Code/N_a/x.Idx");
  TempDir second;
  ASSERT_EQ(mkdir("zip_code", 0777), 0);
  ASSERT_EQ(mkdir("zip_code/N_a", 0777), 0);
  second.Write("zip_code/N_a/x.Idx", "second");
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\x.Idx"), "zip_code/N_a/x.Idx");
  EXPECT_EQ(HostPath("ZIP_CODE\\N_a\\new.Idx"), "zip_code/N_a/new.Idx");
}
