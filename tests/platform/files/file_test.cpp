#include "platform/files/file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>  // alarm

#include <cerrno>
#include <utility>
#include <vector>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;

TEST(Open, MustExistUnlessCreating) {
  TempDir dir;
  EXPECT_FALSE(files::Open("missing", files::kRead).IsOpen());
  EXPECT_EQ(errno, ENOENT);
  files::File file = files::Open("made", files::kReadWrite | files::kCreate);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Write("abc"), 3);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(dir.Read("made"), "abc");
}

TEST(Open, TruncateEmptiesAndAppendExtends) {
  TempDir dir;
  dir.Write("f", "hello");
  files::Open("f", files::kWrite | files::kAppend).Write("!");
  EXPECT_EQ(dir.Read("f"), "hello!");
  files::Open("f", files::kReadWrite | files::kTruncate);
  EXPECT_EQ(dir.Read("f"), "");
}

TEST(Open, ReadOnlyFileOpensForReadingOnly) {
  TempDir dir;
  dir.Write("ro", "x");
  chmod("ro", 0444);
  // root may write anything; the refusal shows only for other users.
  if (geteuid() != 0) {
    EXPECT_FALSE(files::Open("ro", files::kReadWrite).IsOpen());
  }
  EXPECT_TRUE(files::Open("ro", files::kRead).IsOpen());
}

TEST(Open, ADirectoryIsNoFileToRead) {
  TempDir dir;
  ASSERT_EQ(mkdir("d.Idx", 0777), 0);
  EXPECT_FALSE(files::Open("d.Idx", files::kRead).IsOpen());
  EXPECT_EQ(errno, EISDIR);
  EXPECT_FALSE(files::Open("d.Idx", files::kReadWrite).IsOpen());
}

TEST(Open, FindsFileWhateverTheCaseOfItsName) {
  TempDir dir;
  dir.Write("ab.Idx", "data");
  files::File file = files::Open("AB.IDX", files::kRead);
  ASSERT_TRUE(file.IsOpen());
  char buf[8];
  EXPECT_EQ(file.Read(buf, sizeof buf), 4);
}

TEST(Write, CompletesShortWrites) {
  TempDir dir;
  platform::ScopedOverride restore(platform::files::Sys());
  auto real = files::Sys().write;
  files::Sys().write = [real](int fd, const void* buf, size_t n) {
    return real(fd, buf, n > 2 ? 2 : n);  // at most two bytes a call
  };
  files::File file = files::Open("f", files::kWrite | files::kCreate);
  EXPECT_EQ(file.Write("abcdefg"), 7);
  file.Close();
  EXPECT_EQ(dir.Read("f"), "abcdefg");
}

TEST(Write, ReportsDiskFull) {
  TempDir dir;
  platform::ScopedOverride restore(platform::files::Sys());
  files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  files::File file = files::Open("f", files::kWrite | files::kCreate);
  EXPECT_EQ(file.Write("abc"), -1);
  EXPECT_EQ(errno, ENOSPC);
}

TEST(File, ClosesItsDescriptorOnceWhereverItGoes) {
  TempDir dir;
  platform::ScopedOverride restore(platform::files::Sys());
  std::vector<int> closed;
  auto realClose = files::Sys().close;
  files::Sys().close = [&](int fd) {
    closed.push_back(fd);
    return realClose(fd);
  };
  {
    files::File file = files::Open("f", files::kWrite | files::kCreate);
    files::File moved = std::move(file);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Write("x"), -1);  // nothing to write to
    EXPECT_EQ(errno, EBADF);
    files::File other = files::Open("g", files::kWrite | files::kCreate);
    other = std::move(moved);  // g is closed, f taken over
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(other.Write("f"), 1);
  }
  // f once, when its last owner went; the moved-from Files closed nothing.
  EXPECT_EQ(closed.size(), 2u);
  EXPECT_EQ(dir.Read("f"), "f");
}

// As the help viewers read the help file: a named pipe in its place is
// refused at once, never waited on nor read without end.
TEST(ReadWholeHostFile, ReadsARegularFileOnly) {
  TempDir dir;
  dir.Write("help.hlp", "help text");
  EXPECT_EQ(files::ReadWholeHostFile("help.hlp"), std::optional<std::string>("help text"));
  ASSERT_EQ(mkfifo("pipe.hlp", 0666), 0);
  alarm(20);  // an open waiting for a writer ends the test program
  EXPECT_EQ(files::ReadWholeHostFile("pipe.hlp"), std::nullopt);
  EXPECT_EQ(errno, EINVAL);
  alarm(0);
  EXPECT_EQ(files::ReadWholeHostFile("missing.hlp"), std::nullopt);
  EXPECT_EQ(errno, ENOENT);
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
  ASSERT_TRUE(files::Open("ZIP_CODE\\a.Idx", files::kReadWrite | files::kCreate | files::kAppend).IsOpen());
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
  files::File file = files::Open("ZIP_CODE\\a.Idx", files::kReadWrite | files::kCreate | files::kAppend);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Write("x"), 1);
  file.Close();
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(stats, 0);
  EXPECT_EQ(dir.Read("Zip_Code/a.Idx"), "x");
}
