#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo
#include <unistd.h>    // alarm

#include <filesystem>

#include "engine_test_support.h"

namespace search::engine::testing {
namespace {

namespace files = platform::files;

class StartSearchTest : public EngineTest {
 protected:
  void WriteOneTown() { WriteIndex("ｻ", "ﾐﾅ", IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢")); }
  std::string OneTownShown() { return DisplayForm("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"); }

  static size_t OpenDescriptors() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
  }
};

TEST_F(StartSearchTest, TheIndexFileIsFoundWhateverTheCaseOfItsExtension) {
  WriteOneTown();
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
  EXPECT_TRUE(dialog_.boxes.empty());
}

TEST_F(StartSearchTest, TheDataDirectoryIsAPlainPrefix) {
  // Without a final separator "N_" is glued to the last directory name.
  std::filesystem::create_directory(directory_ + "/dataN_" + "\uFF7B");  // ｻ
  WriteFile("dataN_" + Cp932("ｻ") + "\\" + Cp932("ﾐﾅ") + ".Idx",
            IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
  WriteSettingsFile(directory_ + "/data");
  Query("", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
}

TEST_F(StartSearchTest, AnEmptyDataDirectoryLooksInTheCurrentDirectory) {
  WriteSettingsFile("");
  ASSERT_EQ(files::MakeDirectory("N_" + Cp932("ｻ")), 0);
  WriteFile("N_" + Cp932("ｻ") + "\\" + Cp932("ﾐﾅ") + ".Idx",
            IndexLine("ﾐﾅﾐｻﾜ", "ﾎﾂｶｲﾄﾞｳ", "0050021", "ｻﾂﾎﾟﾛｼﾐﾅﾐｸ", "南沢"));
  Query("", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
}

TEST_F(StartSearchTest, AMissingIndexFileShowsNoDataAndDoesNotReSearch) {
  WriteOneTown();
  WriteIndex("ｻ", "ｲｶ", IndexLine("ｲｶ", "ﾎ", "1", "ｻ", "x"));
  Query("ﾎ", "", "", "", "ﾐ", "ﾅ");  // no city letter: N_\ﾐﾅ.IDX
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].caption, ErrorCaptionText());
  EXPECT_EQ(dialog_.boxes[0].text, NoDataText());
  EXPECT_EQ(dialog_.status, SearchingStatus());
  EXPECT_EQ(State().DetailFirstLetter, Cp932("ﾐ"));
  EXPECT_EQ(State().RestRetryCount, 0);
}

TEST_F(StartSearchTest, BlankLettersCountAsNotGiven) {
  WriteOneTown();
  Query(" ", "ｻ", " ", " ", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
  EXPECT_EQ(dialog_.fields[Field::kPrefectureLetter], "");
  EXPECT_EQ(dialog_.fields[Field::kWardLetter], "");
}

TEST_F(StartSearchTest, TheQueryIsTakenFromTheDialog) {
  WriteOneTown();
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(dialog_.reads.size(), 8u) << "one read-back per search";
}

TEST_F(StartSearchTest, ResultTmpIsAByteCopyOfTheIndexFile) {
  for (size_t size : {0u, 1u, 1023u, 1024u, 1025u, 2048u, 70000u}) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7 + 1) % 251);
    WriteIndex("ｶ", "ｺﾋﾟ", bytes);
    Query("", "ｶ", "", "", "ｺ", "ﾋﾟ");
    session_.StartSearch();
    EXPECT_EQ(ReadFile("Result_Tmp"), bytes) << size;
  }
}

TEST_F(StartSearchTest, AWriteProtectedIndexFileIsRead) {
  WriteOneTown();
  WriteProtect protect(".Idx");
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
}

TEST_F(StartSearchTest, ResultTmpThatCannotBeCreatedShowsItsBox) {
  WriteOneTown();
  std::filesystem::create_directory(directory_ + "/Result_Tmp");
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  State().ResultText = "before";
  session_.ShowState();
  session_.StartSearch();
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].text, Cp932("*** Result_Tmp Open error ***"));
  EXPECT_EQ(dialog_.status, SearchingStatus());
  EXPECT_EQ(Shown(), "before");
}

TEST_F(StartSearchTest, AFailedCopyEndsSilently) {
  WriteOneTown();
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  State().ResultText = "before";
  session_.ShowState();
  {
    platform::ScopedOverride restore(platform::files::Sys());
    auto realOpen = files::Sys().open;
    auto realRead = files::Sys().read;
    auto indexFd = std::make_shared<int>(-1);
    files::Sys().open = [=](const char* path, int flags, mode_t mode) {
      int fd = realOpen(path, flags, mode);
      if (std::string(path).ends_with(".Idx")) *indexFd = fd;
      return fd;
    };
    files::Sys().read = [=](int fd, void* buf, size_t n) -> ssize_t {
      if (fd == *indexFd) {
        errno = EIO;
        return -1;
      }
      return realRead(fd, buf, n);
    };
    session_.StartSearch();
  }
  EXPECT_TRUE(dialog_.boxes.empty());
  EXPECT_EQ(dialog_.status, SearchingStatus());
  EXPECT_EQ(Shown(), "before");
  EXPECT_EQ(session_.ShowResult(), -1) << "no result file is left open";
  // The half copy goes; a command line can tell this from finding nothing.
  EXPECT_FALSE(FileExists("Result_Tmp"));
  EXPECT_EQ(session_.IncompleteReason(), "cannot read " + directory_ + "/ZIP_CODE/N_ｻ/ﾐﾅ.Idx: Input/output error");
}

TEST_F(StartSearchTest, AnIndexFileThatIsANamedPipeCannotBeOpened) {
  WriteOneTown();
  std::string index = directory_ + "/ZIP_CODE/N_ｻ/ﾐﾅ.Idx";
  std::filesystem::remove(index);
  ASSERT_EQ(mkfifo(index.c_str(), 0666), 0);
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  alarm(20);  // an open waiting for a writer ends the test program
  session_.StartSearch();
  alarm(0);
  ASSERT_EQ(dialog_.boxes.size(), 1u);
  EXPECT_EQ(dialog_.boxes[0].text, NoDataText());
  EXPECT_EQ(session_.IncompleteReason(), "cannot open " + index + ": Invalid argument");
}

TEST_F(StartSearchTest, ThePreviousResultFileIsClosed) {
  WriteOneTown();
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  size_t afterOne = OpenDescriptors();
  for (int i = 0; i < 5; ++i) session_.StartSearch();
  EXPECT_EQ(OpenDescriptors(), afterOne);
  EXPECT_EQ(Shown(), OneTownShown());
}

TEST_F(StartSearchTest, AReadOnlyDataDirectoryWorks) {
  WriteOneTown();
  WriteProtect protect("ZIP_CODE");
  Query("ﾎ", "ｻ", "", "", "ﾐ", "ﾅ");
  session_.StartSearch();
  EXPECT_EQ(Shown(), OneTownShown());
}

}  // namespace
}  // namespace search::engine::testing
