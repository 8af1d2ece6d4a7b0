#include "platform/files/whole_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo, chmod, stat
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // alarm, chown, symlink, fork

#include <cerrno>
#include <cstring>  // std::strstr
#include <filesystem>
#include <iterator>  // std::distance
#include <string>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;

namespace {

struct stat Lstat(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st;
}

// Reads what is waiting in a pipe opened without waiting.
std::string Drain(int fd) {
  std::string bytes;
  char buffer[256];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
  return bytes;
}

}  // namespace

TEST(WholeFile, ARegularFileIsReplacedWithItsModeAndOwnerOrKeptWhole) {
  TempDir dir;
  dir.Write("Tolvane.ini", "old settings, longer than the new");
  ASSERT_EQ(chmod("Tolvane.ini", 0604), 0);
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown("Tolvane.ini", 1234, 5678), 0);
  }
  ino_t before = Lstat("Tolvane.ini").st_ino;
  ASSERT_EQ(files::WriteWholeFile("TOLVANE.INI", "new"), 0);  // the name found in any case
  EXPECT_EQ(dir.Read("Tolvane.ini"), "new");
  struct stat after = Lstat("Tolvane.ini");
  EXPECT_NE(after.st_ino, before) << "a new file renamed over the old one";
  EXPECT_EQ(after.st_mode & 07777, 0604u);
  if (root) {
    EXPECT_EQ(after.st_uid, 1234u);
  }
  EXPECT_FALSE(dir.Exists("Tolvane.ini." + std::to_string(getpid()) + ".tmp"));

  // A running writer's temporary file stays its own (process 1 runs as
  // long as the system); that of a writer that has ended goes.
  pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  waitpid(ended, nullptr, 0);
  const std::string running = "Tolvane.ini.1.tmp", stale = "Tolvane.ini." + std::to_string(ended) + ".tmp";
  dir.Write(running, "another writer's");
  dir.Write(stale, "a killed writer's");
  ASSERT_EQ(files::WriteWholeFile("Tolvane.ini", "newer"), 0);
  EXPECT_EQ(dir.Read("Tolvane.ini"), "newer");
  EXPECT_EQ(dir.Read(running), "another writer's");
  EXPECT_FALSE(dir.Exists(stale));
  std::filesystem::remove(running);

  // A new file; then a failing write, which keeps the one before whole.
  ASSERT_EQ(files::WriteWholeHostFile("fresh", "made"), 0);
  EXPECT_EQ(dir.Read("fresh"), "made");
  {
    platform::ScopedOverride restore(files::Sys());
    files::Sys().write = [](int, const void*, size_t) -> ssize_t {
      errno = ENOSPC;
      return -1;
    };
    EXPECT_EQ(files::WriteWholeFile("Tolvane.ini", "lost"), -1);
    EXPECT_EQ(errno, ENOSPC);
  }
  EXPECT_EQ(dir.Read("Tolvane.ini"), "newer");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "no temporary file is left";
}

TEST(WholeFile, ASymbolicLinkStaysAndTheFileItNamesIsReplaced) {
  TempDir dir;
  ASSERT_EQ(mkdir("conf", 0777), 0);
  dir.Write("conf/real.ini", "old");
  ASSERT_EQ(symlink("conf/real.ini", "Tolvane.ini"), 0);
  // A chain of two, the second relative to the directory of the first.
  ASSERT_EQ(symlink("../Tolvane.ini", "conf/again.ini"), 0);
  ASSERT_EQ(files::WriteWholeHostFile("conf/again.ini", "new"), 0);
  EXPECT_TRUE(S_ISLNK(Lstat("Tolvane.ini").st_mode));
  EXPECT_TRUE(S_ISLNK(Lstat("conf/again.ini").st_mode));
  EXPECT_EQ(dir.Read("conf/real.ini"), "new");
  EXPECT_FALSE(dir.Exists("conf/real.ini.tmp"));

  // A link to nothing yet makes the file it names; a loop is refused.
  ASSERT_EQ(symlink("conf/later.ini", "dangling"), 0);
  ASSERT_EQ(files::WriteWholeHostFile("dangling", "made"), 0);
  EXPECT_EQ(dir.Read("conf/later.ini"), "made");
  EXPECT_TRUE(S_ISLNK(Lstat("dangling").st_mode));
  ASSERT_EQ(symlink("loop", "loop"), 0);
  EXPECT_EQ(files::WriteWholeHostFile("loop", "x"), -1);
  EXPECT_EQ(errno, ELOOP);
}

TEST(WholeFile, ANamedPipeOrADeviceIsWrittenInPlaceAndNeverReplaced) {
  TempDir dir;
  alarm(20);  // a writer waiting on a pipe ends the test program
  ASSERT_EQ(mkfifo("pipe", 0666), 0);
  int reader = open("pipe", O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_EQ(files::WriteWholeHostFile("pipe", "through the pipe"), 0);
  EXPECT_EQ(Drain(reader), "through the pipe");
  close(reader);
  EXPECT_TRUE(S_ISFIFO(Lstat("pipe").st_mode));
  // Without a reader: a failure at once, and the pipe stays.
  EXPECT_EQ(files::WriteWholeHostFile("pipe", "nobody reads"), -1);
  EXPECT_EQ(errno, ENXIO);
  EXPECT_TRUE(S_ISFIFO(Lstat("pipe").st_mode));
  alarm(0);

  // A link to the null device: written through. Renaming and removing are
  // refused here, so that a writer that would replace the device cannot.
  ASSERT_EQ(symlink("/dev/null", "sink"), 0);
  std::string touched;
  platform::ScopedOverride restore(files::Sys());
  files::Sys().rename = [&](const char*, const char* to) {
    touched += to;
    errno = EPERM;
    return -1;
  };
  files::Sys().unlink = [&](const char* path) {
    if (std::strstr(path, "/dev/")) touched += path;
    errno = ENOENT;
    return -1;
  };
  EXPECT_EQ(files::WriteWholeHostFile("sink", "gone"), 0);
  EXPECT_EQ(touched, "");
  EXPECT_TRUE(S_ISLNK(Lstat("sink").st_mode));
  EXPECT_TRUE(S_ISCHR(Lstat("/dev/null").st_mode));
}

TEST(WholeFile, ARegularFileInADirectoryThatTakesNoNewFileIsWrittenInPlace) {
  TempDir dir;
  dir.Write("Tolvane.ini", "old settings, longer than the new");
  ino_t before = Lstat("Tolvane.ini").st_ino;
  {
    // As a directory without write permission answers, also for root.
    platform::ScopedOverride restore(files::Sys());
    auto realOpen = files::Sys().open;
    files::Sys().open = [realOpen](const char* path, int flags, mode_t mode) {
      if (flags & O_CREAT) {
        errno = EACCES;
        return -1;
      }
      return realOpen(path, flags, mode);
    };
    ASSERT_EQ(files::WriteWholeFile("Tolvane.ini", "new"), 0);
    EXPECT_EQ(dir.Read("Tolvane.ini"), "new");
    EXPECT_EQ(Lstat("Tolvane.ini").st_ino, before);
    // A file that is not there yet cannot be made in place either.
    EXPECT_EQ(files::WriteWholeFile("missing", "x"), -1);
    EXPECT_EQ(errno, EACCES);
    // A failing write is told, and leaves what was written.
    files::Sys().write = [](int, const void*, size_t) -> ssize_t {
      errno = ENOSPC;
      return -1;
    };
    EXPECT_EQ(files::WriteWholeFile("Tolvane.ini", "other"), -1);
    EXPECT_EQ(errno, ENOSPC);
  }
  // The same with the directory's own permission, where it binds.
  if (geteuid() != 0) {
    dir.Write("Tolvane.ini", "old settings");
    ASSERT_EQ(chmod(".", 0555), 0);
    EXPECT_EQ(files::WriteWholeFile("Tolvane.ini", "new"), 0);
    EXPECT_EQ(dir.Read("Tolvane.ini"), "new");
    chmod(".", 0755);
  }
}
