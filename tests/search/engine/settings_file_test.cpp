#include "search/engine/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo
#include <unistd.h>    // alarm

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

namespace files = platform::files;

class SettingsFileTest : public EngineTest {};

TEST_F(SettingsFileTest, WriteMakesA500ByteRecord) {
  ASSERT_TRUE(WriteSettings("c:\\a\\"));
  std::string record = ReadFile("Tolvane.ini");
  ASSERT_EQ(record.size(), 500u);
  EXPECT_EQ(record.substr(0, 6), std::string("c:\\a\\\0", 6));
  EXPECT_EQ(ReadSettings(), "c:\\a\\");
  EXPECT_FALSE(FileExists("Tolvane.ini.tmp"));
}

TEST_F(SettingsFileTest, WriteTakes499BytesAndRefuses500) {
  std::string longest(499, 'd');
  ASSERT_TRUE(WriteSettings(longest));
  EXPECT_EQ(ReadSettings(), longest);
  EXPECT_FALSE(WriteSettings(std::string(500, 'e')));
  EXPECT_EQ(ReadSettings(), longest);
}

TEST_F(SettingsFileTest, WriteCreatesAMissingFile) {
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  ASSERT_TRUE(WriteSettings("x\\"));
  EXPECT_EQ(ReadSettings(), "x\\");
}

TEST_F(SettingsFileTest, AFailedWriteKeepsTheOldFile) {
  ASSERT_TRUE(WriteSettings("old\\"));
  {
    platform::ScopedOverride restore(platform::files::Sys());
    files::Sys().write = [](int, const void*, size_t) -> ssize_t {
      errno = ENOSPC;
      return -1;
    };
    EXPECT_FALSE(WriteSettings("new\\"));
  }
  EXPECT_EQ(ReadSettings(), "old\\");
  EXPECT_FALSE(FileExists("Tolvane.ini.tmp"));
}

TEST_F(SettingsFileTest, AShortWriteIsCompleted) {
  platform::ScopedOverride restore(platform::files::Sys());
  auto real = files::Sys().write;
  files::Sys().write = [real](int fd, const void* buf, size_t n) { return real(fd, buf, n > 7 ? 7 : n); };
  ASSERT_TRUE(WriteSettings("short\\writes\\"));
  EXPECT_EQ(ReadFile("Tolvane.ini").size(), 500u);
  EXPECT_EQ(ReadSettings(), "short\\writes\\");
}

TEST_F(SettingsFileTest, AWriteProtectedFileIsReadButNotReplaced) {
  WriteSettingsFile("kept\\");
  WriteProtect protect("Tolvane.ini");  // the temporary file stays writable
  EXPECT_EQ(ReadSettings(), "kept\\");
  EXPECT_FALSE(WriteSettings("other\\"));
  EXPECT_EQ(ReadSettings(), "kept\\");
  EXPECT_FALSE(FileExists("Tolvane.ini.tmp"));
}

TEST_F(SettingsFileTest, ANamedPipeCountsAsAFileThatCannotBeOpened) {
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  ASSERT_EQ(mkfifo("Tolvane.ini", 0666), 0);
  alarm(20);  // a reader or writer waiting on the pipe ends the test program
  EXPECT_EQ(ReadSettings(), std::nullopt);
  EXPECT_FALSE(WriteSettings("x\\"));
  alarm(0);
  struct stat st;
  ASSERT_EQ(stat("Tolvane.ini", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "left as it was";
}

TEST_F(SettingsFileTest, AMissingFileCannotBeRead) {
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  EXPECT_EQ(ReadSettings(), std::nullopt);
  EXPECT_FALSE(FileExists("Tolvane.ini")) << "reading never creates the file";
}

TEST_F(SettingsFileTest, AnEmptyFileOrALeadingNulGivesAnEmptyDirectory) {
  WriteFile("Tolvane.ini", "");
  EXPECT_EQ(ReadSettings(), "");
  WriteFile("Tolvane.ini", std::string("\0abc", 4));
  EXPECT_EQ(ReadSettings(), "");
}

TEST_F(SettingsFileTest, WithoutANulEverythingReadIsTheText) {
  WriteFile("Tolvane.ini", std::string(500, 'z'));
  EXPECT_EQ(ReadSettings(), std::string(500, 'z'));
  WriteFile("Tolvane.ini", "short");
  EXPECT_EQ(ReadSettings(), "short");
}

TEST_F(SettingsFileTest, OnlyTheFirst500BytesAreRead) {
  WriteFile("Tolvane.ini", std::string(600, 'y'));
  EXPECT_EQ(ReadSettings(), std::string(500, 'y'));
  WriteFile("Tolvane.ini", std::string(500, 'y') + std::string("\0tail", 5));
  EXPECT_EQ(ReadSettings(), std::string(500, 'y'));
}

TEST_F(SettingsFileTest, TheFileNameIgnoresCase) {
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  WriteFile("TOLVANE.INI", std::string("upper\\\0", 7));
  EXPECT_EQ(ReadSettings(), "upper\\");
}

TEST_F(SettingsFileTest, ASearchWithoutSettingsShowsTheBoxAndChangesNothing) {
  ASSERT_EQ(files::Remove("Tolvane.ini"), 0);
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  State().ResultText = "earlier";
  State().PageText[2] = "page two";
  session_.ShowState();
  dialog_.statusHistory.clear();
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, ErrorCaptionText());
  EXPECT_EQ(dialog_.boxes[0].text, SettingsError());
  EXPECT_EQ(Shown(), "earlier");
  EXPECT_TRUE(dialog_.statusHistory.empty());
  EXPECT_EQ(State().PageText[2], "") << "the pages are emptied before the settings are read";
}

}  // namespace
}  // namespace search::engine::testing
