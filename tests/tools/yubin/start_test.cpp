// yubin start's parts in process: the progress window on the headless
// backend with steps of the test's own, and the workspaces' switch. The
// whole command runs from an installed tree in tests/packaging.
#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo
#include <unistd.h>    // alarm

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"
#include "platform/directory_lock.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"
#include "tools/yubin/start/preparation.h"
#include "tools/yubin/start/progress_dialog.h"
#include "tools/yubin/start/progress_resources.h"
#include "tools/yubin/start/workspace.h"

namespace yubin::start {
namespace {

namespace dlg = platform::dialog;

// Three steps that note when they run; `failing` fails.
class NotedSteps : public Steps {
 public:
  explicit NotedSteps(int failing = -1) : failing_(failing) {}
  int StepCount() const override { return 3; }
  std::string_view WindowText(int step) const override { return kTexts[step]; }
  bool Run(int step, std::string& error) override {
    ran.push_back(step);
    if (step == failing_) error = "cannot write KEN_ALL.CSV: No space left on device";
    return step != failing_;
  }
  std::vector<int> ran;

 private:
  static constexpr const char* kTexts[] = {"一つ目", "二つ目", "三つ目"};
  int failing_;
};

class ProgressWindow : public ::testing::Test {
 protected:
  dlg::headless::HeadlessBackend backend_;
  platform::ScopedOverride<dlg::Backend*> inForce_{dlg::BackendInForce(), &backend_};
};

TEST_F(ProgressWindow, ShowsEachStepBeforeItRunsOnePerTick) {
  NotedSteps steps;
  ProgressDialog dialog(steps);
  backend_.Print(kStepText).Print(kStepBar).Wait(ProgressDialog::kStepInterval);
  backend_.Print(kStepText).Print(kStepBar).Wait(2 * ProgressDialog::kStepInterval);
  EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
  EXPECT_EQ(steps.ran, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(backend_.Printed(),
            "1000: 一つ目\n1001: □□□  1 / 3\n"
            "1000: 二つ目\n1001: ■□□  2 / 3\n");
  EXPECT_TRUE(backend_.Errors().empty());
}

TEST_F(ProgressWindow, AFailingStepEndsItWithTheReasonAndRunsNoMore) {
  NotedSteps steps(1);
  ProgressDialog dialog(steps);
  backend_.Wait(3 * ProgressDialog::kStepInterval);
  EXPECT_EQ(dialog.DoModal(), dlg::kIdCancel);
  EXPECT_EQ(steps.ran, (std::vector<int>{0, 1}));
  EXPECT_EQ(dialog.Error(), "cannot write KEN_ALL.CSV: No space left on device");
  // The close box does not stop it half-way.
  NotedSteps more;
  ProgressDialog second(more);
  backend_.CloseBox().Wait(3 * ProgressDialog::kStepInterval);
  EXPECT_EQ(second.DoModal(), dlg::kIdOk);
  EXPECT_EQ(more.ran.size(), 3u);
}

// One step that works in the background for three polls, saying how far.
class BackgroundStep : public Steps {
 public:
  int StepCount() const override { return 1; }
  std::string_view WindowText(int) const override { return "受信"; }
  bool Run(int, std::string&) override { return ++polls_ > 0; }
  bool Finished(int) const override { return polls_ >= 3; }
  std::string Status() const override { return polls_ % 3 ? std::to_string(polls_) + " KB" : std::string(); }

 private:
  int polls_ = 0;
};

TEST_F(ProgressWindow, AStepInTheBackgroundIsPolledShowingItsStatusElseTheNote) {
  BackgroundStep step;
  ProgressDialog dialog(step, "お知らせ");
  for (int tick = 0; tick < 3; ++tick) backend_.Print(kStatusText).Wait(ProgressDialog::kStepInterval);
  EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
  EXPECT_EQ(backend_.Printed(), "1002: お知らせ\n1002: 1 KB\n1002: 2 KB\n");
  BackgroundStep polled;
  std::vector<int> told;
  std::string error;
  EXPECT_TRUE(RunAllSteps(polled, error, [&](int s) { told.push_back(s); }));
  EXPECT_TRUE(polled.Finished(0));
  EXPECT_EQ(told, std::vector<int>{0});
}

TEST(Workspaces, ASwitchKeepsTheWorkspaceItReplacesAndRemovesOlderOnes) {
  TempDir dir;
  Workspaces workspaces(dir.path() + "/data/yubin");
  std::string error;
  ASSERT_TRUE(workspaces.Lock(error)) << error;
  EXPECT_EQ(workspaces.Current(), "");

  std::string first = workspaces.MakeNew(error);
  ASSERT_EQ(first, workspaces.Root() + "/workspace-1") << error;
  ASSERT_TRUE(Workspaces::MarkComplete(first, 1700000000, error)) << error;
  ASSERT_TRUE(workspaces.SwitchTo(first, error)) << error;
  EXPECT_EQ(workspaces.Current(), first);
  EXPECT_EQ(Workspaces::DataTime(first), 1700000000);

  // A preparation that stopped half-way is no workspace to use, and the
  // next one clears it away.
  std::string broken = workspaces.MakeNew(error);
  EXPECT_EQ(workspaces.Current(), first);
  EXPECT_EQ(Workspaces::DataTime(broken), -1);
  std::string second = workspaces.MakeNew(error);
  EXPECT_EQ(second, broken);
  EXPECT_TRUE(std::filesystem::is_empty(second));

  ASSERT_TRUE(Workspaces::MarkComplete(second, 1800000000, error));
  ASSERT_TRUE(workspaces.SwitchTo(second, error));
  EXPECT_EQ(workspaces.Current(), second);
  EXPECT_TRUE(std::filesystem::exists(first));  // a search may still run there

  std::string third = workspaces.MakeNew(error);
  ASSERT_TRUE(Workspaces::MarkComplete(third, 1800000000, error));
  ASSERT_TRUE(workspaces.SwitchTo(third, error));
  EXPECT_EQ(std::filesystem::read_symlink(workspaces.Root() + "/current"), "workspace-3");
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_TRUE(std::filesystem::exists(second));
}

// A search application holds the shared lock of the workspace it runs in;
// starts that switch past it leave it, and the first after it has ended
// removes it. An incomplete workspace in use stays too.
TEST(Workspaces, AWorkspaceASearchRunsInStaysUntilItEnds) {
  TempDir dir;
  Workspaces workspaces(dir.path() + "/yubin");
  std::string error;
  ASSERT_TRUE(workspaces.Lock(error)) << error;
  auto prepare = [&] {
    std::string workspace = workspaces.MakeNew(error);
    EXPECT_TRUE(Workspaces::MarkComplete(workspace, 1700000000, error)) << error;
    EXPECT_TRUE(workspaces.SwitchTo(workspace, error)) << error;
    return workspace;
  };
  std::string first = prepare();
  {
    platform::DirectoryLock search(first, platform::DirectoryLock::Kind::kShared);
    ASSERT_TRUE(search.Held());
    prepare();
    prepare();
    EXPECT_EQ(workspaces.Current(), workspaces.Root() + "/workspace-3");
    EXPECT_TRUE(std::filesystem::exists(first + "/.prepared"));
    std::string broken = workspaces.MakeNew(error);
    platform::DirectoryLock inUse(broken, platform::DirectoryLock::Kind::kShared);
    EXPECT_EQ(workspaces.MakeNew(error), workspaces.Root() + "/workspace-5");
    EXPECT_TRUE(std::filesystem::exists(broken));
  }
  prepare();
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_EQ(workspaces.Current(), workspaces.Root() + "/workspace-4");
  EXPECT_FALSE(std::filesystem::exists(workspaces.Root() + "/workspace-5"));
}

// A stamp holds the data of its own time and any older; one dated in the
// future only its own, so that it does not block every later update.
TEST(Workspaces, AStampInTheFutureCountsOnlyForItsOwnDataTime) {
  TempDir dir;
  std::string error;
  const long long now = 1800000000;
  ASSERT_TRUE(Workspaces::MarkComplete(dir.path(), now - 100, error)) << error;
  EXPECT_TRUE(Workspaces::HoldsDataOf(dir.path(), now - 100, now));
  EXPECT_TRUE(Workspaces::HoldsDataOf(dir.path(), now - 200, now));
  EXPECT_FALSE(Workspaces::HoldsDataOf(dir.path(), now - 50, now));
  ASSERT_TRUE(Workspaces::MarkComplete(dir.path(), now + 1000, error)) << error;
  EXPECT_TRUE(Workspaces::HoldsDataOf(dir.path(), now + 1000, now));
  EXPECT_FALSE(Workspaces::HoldsDataOf(dir.path(), now - 100, now));
  EXPECT_TRUE(Workspaces::HoldsDataOf(dir.path(), now - 100, now + 1000));
  EXPECT_FALSE(Workspaces::HoldsDataOf(dir.path() + "/none", 0, now));
}

// A step that fails says why: the index build's box texts and the reason
// the file layer gave.
TEST(Preparation, AFailedIndexBuildCarriesTheReason) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT",
            platform::text::Cp932("01101,060  ,0640941,ﾎﾂｶｲﾄﾞｳ,ｻﾂﾎﾟﾛｼ,ｱｻﾋｶﾞｵｶ,北海道,札幌市,旭ケ丘,0,0,1,0,0,0\r\n"));
  Preparation preparation(Installation{}, PostalData{}, dir.path(), "", true);
  ASSERT_EQ(preparation.LineText(3), "building the kana town index below Zip_Code");
  platform::ScopedOverride calls(platform::files::Sys());
  platform::files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  std::string error;
  EXPECT_FALSE(preparation.Run(3, error));
  EXPECT_EQ(error,
            "the kana town index could not be built: ERROR: Write インデックスファイルエラー; "
            "cannot write Zip_Code/N_ｻ/ｱｻ.Idx: No space left on device");
}

// Downloaded data that is a named pipe or a device is no file to copy: the
// step fails at once, rather than waiting or copying without end.
TEST(Preparation, PostalDataThatIsNoRegularFileCannotBeTaken) {
  TempDir dir;
  ASSERT_EQ(mkfifo("KEN_ALL.CSV", 0666), 0);
  ASSERT_TRUE(std::filesystem::create_directory("workspace"));
  Installation installation;
  PostalData data{dir.path() + "/KEN_ALL.CSV", dir.path() + "/JIGYOSYO.CSV", dir.path() + "/help"};
  Preparation preparation(installation, data, dir.path() + "/workspace", "x\\", true);
  std::string error;
  alarm(20);  // an open waiting for a writer ends the test program
  EXPECT_FALSE(preparation.Run(0, error));
  alarm(0);
  EXPECT_EQ(error, "cannot open " + data.kenAll + ": Invalid argument");
}

}  // namespace
}  // namespace yubin::start
