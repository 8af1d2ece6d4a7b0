// The placeholder as the grep program starts it: the real vesk executable
// in an empty directory, with and without arguments, with and without a
// display. It ends on its own with status 0 and leaves nothing behind.
#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED

#include <cstdlib>  // std::system
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Runs vesk in an empty directory below `dir` with the environment `env`
// in front; its output goes beside that directory. The exit status.
int Vesk(const TempDir& dir, const std::string& env, const std::string& args) {
  std::string work = dir.path() + "/work";
  fs::create_directory(work);
  std::string command = "cd '" + work + "' && env -u DIALOG_SCRIPT -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                        env + " '" VESK_PATH "' " + args + " >../out.txt 2>../err.txt";
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(Vesk, EndsAtOnceWithZeroWithoutADisplayWritingNothing) {
  for (const char* args : {"", "-G -V0 \"x y\" /Embedding"}) {
    SCOPED_TRACE(args);
    TempDir dir;
    EXPECT_EQ(Vesk(dir, "", args), 0);
    EXPECT_TRUE(fs::is_empty(dir.path() + "/work"));
    EXPECT_EQ(dir.Read("out.txt") + dir.Read("err.txt"), "");
  }
}

TEST(Vesk, EndsAtOnceWithZeroOnADisplayWritingNothing) {
  for (const char* args : {"", "-G -V0 \"x y\" /Embedding"}) {
    SCOPED_TRACE(args);
    TempDir dir;
    EXPECT_EQ(Vesk(dir, "QT_QPA_PLATFORM=offscreen", args), 0);
    EXPECT_TRUE(fs::is_empty(dir.path() + "/work"));
    EXPECT_EQ(dir.Read("out.txt"), "");
  }
}

}  // namespace
