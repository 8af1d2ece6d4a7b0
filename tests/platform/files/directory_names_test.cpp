#include "platform/files/directory_names.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/temp_dir.h"

namespace files = platform::files;

namespace {

// Sets a directory's modification time to `secondsAgo` before now, so that
// its listing counts as settled and is kept.
void SetModifiedAgo(const char* path, time_t secondsAgo) {
  timespec times[2];
  times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - secondsAgo;
  times[0].tv_nsec = times[1].tv_nsec = 0;
  ASSERT_EQ(utimensat(AT_FDCWD, path, times, 0), 0);
}

// Makes a file without the file layer, as another program would.
void MakeBehindTheLayer(const char* path) {
  int fd = ::open(path, O_WRONLY | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ::close(fd);
}

// Counts the listings of one host directory while it lives.
class ListingCounter {
 public:
  explicit ListingCounter(std::string directory) {
    auto real = files::Sys().listDirectory;
    files::Sys().listDirectory = [this, real, directory](const char* path, std::vector<std::string>& names) {
      if (directory == path) ++count;
      return real(path, names);
    };
  }
  int count = 0;

 private:
  platform::ScopedOverride<platform::files::SystemCalls> restore_{platform::files::Sys()};
};

}  // namespace

TEST(DirectoryNames, FindsTheSpellingOnDiskOrKeepsTheOneAskedFor) {
  TempDir dir;
  dir.Write("ab.IDX", "1");
  dir.Write("ab.Idx", "2");
  std::string actual;
  EXPECT_TRUE(files::FindName("", "ab.Idx", actual));
  EXPECT_EQ(actual, "ab.Idx");
  EXPECT_TRUE(files::FindName(".", "AB.idx", actual));
  EXPECT_EQ(actual, "ab.IDX");
  EXPECT_TRUE(files::FindName("", "ab.txt", actual));
  EXPECT_EQ(actual, "ab.txt");
  EXPECT_FALSE(files::FindName("missing", "ab.Idx", actual));
  EXPECT_EQ(actual, "ab.Idx");
  EXPECT_FALSE(files::FindName("ab.Idx", "x", actual));
}

TEST(DirectoryNames, AnUnchangedDirectoryIsListedOnce) {
  TempDir dir;
  ASSERT_EQ(mkdir("D", 0777), 0);
  dir.Write("D/a.Idx", "1");
  SetModifiedAgo("D", 100);
  ListingCounter listings("D");
  EXPECT_EQ(files::HostPath("D\\A.IDX"), "D/a.Idx");
  EXPECT_EQ(files::HostPath("D\\B.IDX"), "D/B.IDX");
  EXPECT_EQ(files::HostPath("D\\a.IDX"), "D/a.Idx");
  EXPECT_EQ(listings.count, 1);
}

TEST(DirectoryNames, RecentlyChangedDirectoryIsListedAgain) {
  // A change within the tick of the directory's last change leaves its time
  // stamp as it was; a listing taken that soon is not kept.
  TempDir dir;
  ASSERT_EQ(mkdir("D", 0777), 0);
  timespec stamp[2];
  clock_gettime(CLOCK_REALTIME, &stamp[0]);
  stamp[1] = stamp[0];
  ASSERT_EQ(utimensat(AT_FDCWD, "D", stamp, 0), 0);
  EXPECT_EQ(files::HostPath("D\\A.IDX"), "D/A.IDX");
  MakeBehindTheLayer("D/a.Idx");
  ASSERT_EQ(utimensat(AT_FDCWD, "D", stamp, 0), 0);
  EXPECT_EQ(files::HostPath("D\\A.IDX"), "D/a.Idx");
}

TEST(DirectoryNames, SpellingMadeByAnotherProgramIsFound) {
  TempDir dir;
  ASSERT_EQ(mkdir("D", 0777), 0);
  SetModifiedAgo("D", 100);
  EXPECT_EQ(files::HostPath("D\\X.idx"), "D/X.idx");
  // The new entry moves the directory's time stamp.
  MakeBehindTheLayer("D/x.IDX");
  EXPECT_EQ(files::HostPath("D\\X.idx"), "D/x.IDX");
  // So does setting it, to a time long past.
  SetModifiedAgo("D", 200);
  EXPECT_EQ(files::HostPath("D\\Y.idx"), "D/Y.idx");
  MakeBehindTheLayer("D/y.IDX");
  SetModifiedAgo("D", 300);
  EXPECT_EQ(files::HostPath("D\\Y.idx"), "D/y.IDX");
}

TEST(DirectoryNames, OwnChangesAreKnownWithoutListingAgain) {
  TempDir dir;
  ASSERT_EQ(mkdir("D", 0777), 0);
  SetModifiedAgo("D", 100);
  ListingCounter listings("D");
  EXPECT_EQ(files::HostPath("D\\NEW.IDX"), "D/NEW.IDX");
  ASSERT_TRUE(files::Open("D\\New.Idx", files::kWrite | files::kCreate).IsOpen());
  EXPECT_EQ(files::HostPath("D\\NEW.IDX"), "D/New.Idx");
  ASSERT_EQ(files::Rename("D\\NEW.IDX", "D\\Old.Idx"), 0);
  EXPECT_EQ(files::HostPath("D\\new.idx"), "D/new.idx");
  EXPECT_EQ(files::HostPath("D\\OLD.IDX"), "D/Old.Idx");
  ASSERT_EQ(files::MakeDirectory("D\\Sub"), 0);
  EXPECT_EQ(files::HostPath("D\\SUB"), "D/Sub");
  ASSERT_EQ(files::Remove("D\\old.idx"), 0);
  EXPECT_EQ(files::HostPath("D\\OLD.IDX"), "D/OLD.IDX");
  EXPECT_EQ(listings.count, 1);
  // A failed change leaves the names as they were.
  EXPECT_EQ(files::Remove("D\\old.idx"), -1);
  EXPECT_EQ(files::HostPath("D\\sub"), "D/Sub");
}

TEST(DirectoryNames, FollowsADirectoryRemovedAndMadeAgain) {
  TempDir dir;
  ASSERT_EQ(mkdir("D", 0777), 0);
  dir.Write("D/a.Idx", "1");
  SetModifiedAgo("D", 100);
  EXPECT_EQ(files::HostPath("D\\A.IDX"), "D/a.Idx");
  // Made again by another program, with another spelling inside.
  std::filesystem::remove_all("D");
  ASSERT_EQ(mkdir("D", 0777), 0);
  MakeBehindTheLayer("D/A.idx");
  SetModifiedAgo("D", 200);
  EXPECT_EQ(files::HostPath("D\\a.IDX"), "D/A.idx");
  // Made again through the layer: empty, then holding what was created.
  std::filesystem::remove_all("D");
  ASSERT_EQ(files::MakeDirectory("D"), 0);
  EXPECT_EQ(files::HostPath("D\\a.IDX"), "D/a.IDX");
  ASSERT_TRUE(files::Open("D\\b.Idx", files::kWrite | files::kCreate).IsOpen());
  EXPECT_EQ(files::HostPath("D\\B.IDX"), "D/b.Idx");
}
