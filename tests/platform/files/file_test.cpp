#include "platform/files/file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;

TEST(Open, MustExistUnlessCreating) {
  TempDir dir;
  EXPECT_EQ(files::Open("missing", files::kRead), -1);
  EXPECT_EQ(errno, ENOENT);
  int fd = files::Open("made", files::kReadWrite | files::kCreate);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(files::Write(fd, "abc"), 3);
  EXPECT_EQ(files::Close(fd), 0);
  EXPECT_EQ(dir.Read("made"), "abc");
}

TEST(Open, TruncateEmptiesAndAppendExtends) {
  TempDir dir;
  dir.Write("f", "hello");
  int fd = files::Open("f", files::kWrite | files::kAppend);
  files::Write(fd, "!");
  files::Close(fd);
  EXPECT_EQ(dir.Read("f"), "hello!");
  fd = files::Open("f", files::kReadWrite | files::kTruncate);
  files::Close(fd);
  EXPECT_EQ(dir.Read("f"), "");
}

TEST(Open, ReadOnlyFileOpensForReadingOnly) {
  TempDir dir;
  dir.Write("ro", "x");
  chmod("ro", 0444);
  // root may write anything; the refusal shows only for other users.
  if (geteuid() != 0) {
    EXPECT_EQ(files::Open("ro", files::kReadWrite), -1);
  }
  int fd = files::Open("ro", files::kRead);
  EXPECT_GE(fd, 0);
  files::Close(fd);
}

TEST(Open, ADirectoryIsNoFileToRead) {
  TempDir dir;
  ASSERT_EQ(mkdir("d.Idx", 0777), 0);
  EXPECT_EQ(files::Open("d.Idx", files::kRead), -1);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(files::Open("d.Idx", files::kReadWrite), -1);
}

TEST(Open, FindsFileWhateverTheCaseOfItsName) {
  TempDir dir;
  dir.Write("ab.Idx", "data");
  int fd = files::Open("AB.IDX", files::kRead);
  ASSERT_GE(fd, 0);
  char buf[8];
  EXPECT_EQ(files::Read(fd, buf, sizeof buf), 4);
  files::Close(fd);
}

TEST(Write, CompletesShortWrites) {
  TempDir dir;
  platform::ScopedOverride restore(platform::files::Sys());
  auto real = files::Sys().write;
  files::Sys().write = [real](int fd, const void* buf, size_t n) {
    return real(fd, buf, n > 2 ? 2 : n);  // at most two bytes a call
  };
  int fd = files::Open("f", files::kWrite | files::kCreate);
  EXPECT_EQ(files::Write(fd, "abcdefg"), 7);
  files::Close(fd);
  EXPECT_EQ(dir.Read("f"), "abcdefg");
}

TEST(Write, ReportsDiskFull) {
  TempDir dir;
  platform::ScopedOverride restore(platform::files::Sys());
  files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  int fd = files::Open("f", files::kWrite | files::kCreate);
  EXPECT_EQ(files::Write(fd, "abc"), -1);
  EXPECT_EQ(errno, ENOSPC);
  files::Close(fd);
}

TEST(AtEnd, TellsWhetherThePositionIsAtTheEnd) {
  TempDir dir;
  dir.Write("f", "ab");
  int fd = files::Open("f", files::kRead);
  EXPECT_EQ(files::AtEnd(fd), 0);
  EXPECT_EQ(files::Seek(fd, 0, SEEK_END), 2);
  EXPECT_EQ(files::AtEnd(fd), 1);
  EXPECT_EQ(files::Length(fd), 2);
  files::Close(fd);
  EXPECT_EQ(files::AtEnd(fd), -1);
}

TEST(MakeDirectory, ExistingDirectoryIsFineAFileIsNot) {
  TempDir dir;
  EXPECT_EQ(files::MakeDirectory("Zip_Code"), 0);
  EXPECT_EQ(files::MakeDirectory("ZIP_CODE"), 0);  // the same directory
  dir.Write("plain", "");
  EXPECT_EQ(files::MakeDirectory("plain"), -1);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(files::MakeDirectory("no\\such\\parent"), -1);
}

TEST(MakeDirectory, KanaNamesLandAsUtf8) {
  TempDir dir;
  EXPECT_EQ(files::MakeDirectory("N_\xBB"), 0);  // N_ｻ
  EXPECT_TRUE(dir.Exists("N_\xEF\xBD\xBB"));
}

TEST(RenameAndRemove, WorkOnMappedNames) {
  TempDir dir;
  dir.Write("a.tmp", "x");
  EXPECT_EQ(files::Rename("A.TMP", "b"), 0);
  EXPECT_EQ(dir.Read("b"), "x");
  EXPECT_EQ(files::Remove("B"), 0);
  EXPECT_FALSE(dir.Exists("b"));
}

TEST(ErrorText, SaysWhatFailedAndWhy) {
  EXPECT_EQ(files::ErrorText("open file", "N_\xBB", ENOENT),
            "cannot open file N_\xEF\xBD\xBB: No such file or directory");
}

TEST(Open, ExistingFileBelowAnotherSpellingTakesOneCall) {
  TempDir dir;
  ASSERT_EQ(mkdir("Zip_Code", 0777), 0);
  int fd = files::Open("ZIP_CODE\\a.Idx", files::kReadWrite | files::kCreate | files::kAppend);
  ASSERT_GE(fd, 0);
  files::Close(fd);
  EXPECT_TRUE(dir.Exists("Zip_Code/a.Idx"));
  platform::ScopedOverride restore(platform::files::Sys());
  int opens = 0, stats = 0;
  auto realOpen = files::Sys().open;
  auto realStat = files::Sys().stat;
  files::Sys().open = [&](const char* path, int flags, mode_t mode) {
    ++opens;
    return realOpen(path, flags, mode);
  };
  files::Sys().stat = [&](const char* path, struct stat* st) {
    ++stats;
    return realStat(path, st);
  };
  fd = files::Open("ZIP_CODE\\a.Idx", files::kReadWrite | files::kCreate | files::kAppend);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(files::Write(fd, "x"), 1);
  files::Close(fd);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(stats, 0);
  EXPECT_EQ(dir.Read("Zip_Code/a.Idx"), "x");
}
