// yubin update in process against a server on 127.0.0.1 that the test
// starts: the full update, "already current" on a 304, two months of
// difference files giving the index of a full build, the fall-back to the
// full files, and the failures that must leave the workspace in use as it
// was: a download cut short, a corrupt zip, an HTML page with status 200, a
// silent server and a full disk.
#include <gtest/gtest.h>
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // WEXITSTATUS

#include <cerrno>
#include <cstdlib>  // std::getenv
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "tests/support/loopback_server.h"
#include "tests/support/postal_months.h"
#include "tests/support/temp_dir.h"
#include "prep/import/ken_all_import.h"
#include "tools/yubin/update/master_patch.h"
#include "tools/yubin/update/notice.h"
#include "tools/yubin/update/sha256.h"
#include "tools/yubin/update/updater.h"

namespace yubin::update {
namespace {

namespace fs = std::filesystem;
using namespace postal_months;

constexpr char kMay[] = "Fri, 29 May 2026 01:00:00 GMT";
constexpr char kJune[] = "Tue, 30 Jun 2026 01:00:00 GMT";
constexpr char kJuly[] = "Fri, 31 Jul 2026 01:00:00 GMT";

// Every file below a directory with its bytes, by relative path.
std::map<std::string, std::string> Tree(const std::string& directory) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(directory, ec)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    tree[fs::relative(entry.path(), directory).string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return tree;
}

class Update : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string data = std::string(std::getenv("YUBIN_SOURCE_DIR")) + "/data/";
    // Lines 3092 to 3094 are one town split over three rows.
    addresses_ = ArchiveLines(data + "ken_all.zip", 3500);
    offices_ = ArchiveLines(data + "jigyosyo.zip", 600);
    ASSERT_EQ(addresses_.size(), 3500u);
    fs::create_directories(dir_.path() + "/share");
    dir_.Write("share/" + std::string(start::kHelpFile), "help\n");
    installation_ = {dir_.path() + "/bin", dir_.path() + "/share"};
  }

  // The server's full files: addresses and offices of one month.
  void ServeFull(const std::vector<std::string>& addresses, const std::vector<std::string>& offices,
                 const std::string& date, const std::string& etag) {
    server_.Put("/kogaki/zip/ken_all.zip", {Zip("KEN_ALL.CSV", addresses), etag, date});
    server_.Put("/jigyosyo/zip/jigyosyo.zip", {Zip("JIGYOSYO.CSV", offices), "", date});
  }
  void ServeChange(const std::string& yymm, const Change& addresses, const Change& offices) {
    server_.Put("/kogaki/zip/del_" + yymm + ".zip", {Zip("DEL.CSV", addresses.deletions), "", ""});
    server_.Put("/kogaki/zip/add_" + yymm + ".zip", {Zip("ADD.CSV", addresses.additions), "", ""});
    server_.Put("/jigyosyo/zip/jdel_" + yymm + ".zip", {Zip("JDEL.CSV", offices.deletions), "", ""});
    server_.Put("/jigyosyo/zip/jadd_" + yymm + ".zip", {Zip("JADD.CSV", offices.additions), "", ""});
  }
  std::string Zip(const std::string& member, const std::vector<std::string>& lines) {
    return ZipOf(member, Joined(lines), dir_.path() + "/scratch.zip");
  }

  UpdateResult Run(const std::string& root, std::string& message, long timeout = 10) {
    start::Workspaces workspaces(root);
    UpdateOptions options;
    options.base = server_.Base();
    options.fetch.connectSeconds = timeout;
    options.fetch.lowSpeedSeconds = timeout;
    Updater updater(installation_, workspaces, options, [this](const std::string& line) { said_ += line + "\n"; });
    return updater.Run([](start::Steps& steps, std::string& error) { return start::RunAllSteps(steps, error); },
                       message);
  }
  std::string Current(const std::string& root) { return start::Workspaces(root).Current(); }

  TempDir dir_;
  LoopbackServer server_;
  start::Installation installation_;
  std::vector<std::string> addresses_, offices_;
  std::string said_;
};

TEST_F(Update, FullUpdateRecordsItsSourcesThenA304MeansAlreadyCurrent) {
  std::string root = dir_.path() + "/root", message;
  ServeFull(addresses_, offices_, kMay, "\"may\"");
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message;
  std::string workspace = Current(root);
  ASSERT_NE(workspace, "");
  EXPECT_EQ(message, "updated to the data of 2026-05-29 (3497 address records): " + workspace);
  EXPECT_EQ(dir_.Read("root/workspace-1/KEN_ALL.CSV"), Joined(addresses_));
  EXPECT_TRUE(fs::is_directory(workspace + "/Zip_Code/N_ｻ"));
  EXPECT_FALSE(fs::exists(root + "/.download"));
  std::optional<SourceRecord> record = ReadSourceRecord(workspace);
  ASSERT_TRUE(record);
  EXPECT_EQ(DateText(record->dataTime), "2026-05-29");
  ASSERT_EQ(record->files.size(), 2u);
  Sha256 digest;
  digest.Add(Zip("KEN_ALL.CSV", addresses_));
  EXPECT_EQ(record->files[0].sha256, digest.Hex());
  // The digest itself, on the standard's one-block and two-block messages.
  Sha256 oneBlock, twoBlocks;
  oneBlock.Add("abc");
  twoBlocks.Add("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
  EXPECT_EQ(oneBlock.Hex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(twoBlocks.Hex(), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(record->files[0].url, server_.Base() + "kogaki/zip/ken_all.zip");

  // Nothing new: one conditional HEAD, answered 304, and no download.
  server_.Forget();
  EXPECT_EQ(Run(root, message), UpdateResult::kCurrent);
  EXPECT_EQ(message, "already current (data of 2026-05-29)");
  EXPECT_EQ(server_.Requests(), std::vector<std::string>{"HEAD /kogaki/zip/ken_all.zip 304"});
  EXPECT_EQ(Current(root), workspace);
  // A server (a mirror) with older data is no reason to go back to it.
  ServeFull(addresses_, offices_, "Thu, 30 Apr 2026 01:00:00 GMT", "\"april\"");
  EXPECT_EQ(Run(root, message), UpdateResult::kCurrent);
  EXPECT_EQ(message, "already current (data of 2026-05-29; the server has the data of 2026-04-30)");
  EXPECT_EQ(Current(root), workspace);
  ServeFull(addresses_, offices_, kMay, "\"may\"");

  // --check tells newer data from none, and a server it cannot reach.
  start::Workspaces workspaces(root);
  UpdateOptions options;
  options.base = server_.Base();
  Updater checker(installation_, workspaces, options, [](const std::string&) {});
  EXPECT_EQ(checker.Check(message), UpdateResult::kCurrent);
  ServeFull(addresses_, offices_, kJune, "\"june\"");
  EXPECT_EQ(checker.Check(message), UpdateResult::kNewer);
  EXPECT_EQ(message, "newer data exists (data of 2026-06-30)");
  server_.Drop("/kogaki/zip/ken_all.zip");
  EXPECT_EQ(checker.Check(message), UpdateResult::kFailed);
}

TEST_F(Update, TwoMonthsOfDifferencesGiveTheIndexOfAFullBuildAndShareTheRest) {
  std::string root = dir_.path() + "/root", message;
  ServeFull(addresses_, offices_, kMay, "\"may\"");
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message;
  std::string may = Current(root);

  Change june = MakeChange(addresses_, 6, 40), juneOffices = MakeChange(offices_, 6, 5);
  // The middle row of a split town goes: the town's joined record changes.
  june.deletions.push_back(addresses_[3092]);
  std::vector<std::string> juneData = Applied(addresses_, june), juneOfficeData = Applied(offices_, juneOffices);
  Change july = MakeChange(juneData, 7, 40), julyOffices = MakeChange(juneOfficeData, 7, 5);
  std::vector<std::string> julyData = Applied(juneData, july), julyOfficeData = Applied(juneOfficeData, julyOffices);
  ServeChange("2606", june, juneOffices);
  ServeChange("2607", july, julyOffices);
  ServeFull(julyData, julyOfficeData, kJuly, "\"july\"");
  server_.Forget();
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message << "\n" << said_;
  std::string updated = Current(root);
  std::vector<std::string> requests = server_.Requests();
  EXPECT_EQ(requests.size(), 1u + 8u);
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "GET /kogaki/zip/ken_all.zip"), 0);

  // The same data fully built in a root of its own.
  std::string full = dir_.path() + "/full";
  ASSERT_EQ(Run(full, message), UpdateResult::kUpdated) << message;
  std::map<std::string, std::string> expected = Tree(Current(full) + "/Zip_Code");
  EXPECT_EQ(Tree(updated + "/Zip_Code"), expected);
  EXPECT_EQ(dir_.Read(fs::relative(updated, dir_.path()).string() + "/ALL_ZIP.TXT"),
            dir_.Read(fs::relative(Current(full), dir_.path()).string() + "/ALL_ZIP.TXT"));
  EXPECT_EQ(dir_.Read(fs::relative(updated, dir_.path()).string() + "/KEN_ALL.CSV"), Joined(julyData));
  EXPECT_EQ(dir_.Read(fs::relative(updated, dir_.path()).string() + "/JIGYOSYO.CSV"), Joined(julyOfficeData));
  // Files the changes left alone are shared with May's workspace; the
  // changed ones were not written through the shared links.
  long shared = 0;
  for (const auto& [name, bytes] : expected) {
    struct stat before {
    }, after{};
    if (stat((may + "/Zip_Code/" + name).c_str(), &before) == 0 &&
        stat((updated + "/Zip_Code/" + name).c_str(), &after) == 0 && before.st_ino == after.st_ino)
      ++shared;
  }
  EXPECT_GT(shared, static_cast<long>(expected.size()) / 2);
  std::optional<SourceRecord> record = ReadSourceRecord(updated);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->files.size(), 2u + 8u);

  // A month whose deletion names no record of the data in use: the full
  // files instead, and the reason said.
  Change august = MakeChange(julyData, 8, 3);
  august.deletions.push_back("\"99999\",\"no such record\"");
  ServeChange("2608", august, MakeChange(julyOfficeData, 8, 1));
  std::vector<std::string> augustData = Applied(julyData, MakeChange(julyData, 8, 3));
  ServeFull(augustData, julyOfficeData, "Mon, 31 Aug 2026 01:00:00 GMT", "\"august\"");
  said_.clear();
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message;
  EXPECT_NE(said_.find("taking the full files: the changes of 2026-08 to the addresses: deletion 7 names no record"),
            std::string::npos)
      << said_;
  EXPECT_EQ(dir_.Read(fs::relative(Current(root), dir_.path()).string() + "/KEN_ALL.CSV"), Joined(augustData));
}

TEST_F(Update, AFailedDownloadOrPreparationLeavesTheWorkspaceInUseAsItWas) {
  std::string root = dir_.path() + "/root", message;
  ServeFull(addresses_, offices_, kMay, "\"may\"");
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message;
  std::string workspace = Current(root);
  std::map<std::string, std::string> before = Tree(workspace);

  std::string newer = Zip("KEN_ALL.CSV", addresses_);
  std::string corrupt = newer;
  for (size_t i = 40; i < corrupt.size(); i += 7) corrupt[i] = static_cast<char>(~corrupt[i]);
  struct Case {
    LoopbackServer::File file;
    std::string reason;
  } cases[] = {
      {{newer, "\"june\"", kJune, 200, LoopbackServer::Behaviour::kCutHalfWay}, "cut off before its end"},
      {{corrupt, "\"june\"", kJune}, "ken_all.zip"},
      {{"<!DOCTYPE html><html><body>Maintenance</body></html>", "\"june\"", kJune}, "a web page instead of the zip"},
      {{newer, "\"june\"", kJune, 500}, "status 500"},
      {{newer, "\"june\"", kJune, 200, LoopbackServer::Behaviour::kSilent}, "stopped answering"},
  };
  for (const Case& c : cases) {
    server_.Put("/kogaki/zip/ken_all.zip", c.file);
    bool silent = c.file.behaviour == LoopbackServer::Behaviour::kSilent;
    EXPECT_EQ(Run(root, message, silent ? 1 : 10), UpdateResult::kFailed) << c.reason;
    EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_NE(message.find("the workspace in use stays as it was"), std::string::npos) << message;
    EXPECT_EQ(Current(root), workspace);
    EXPECT_EQ(Tree(workspace), before) << c.reason;
    EXPECT_FALSE(fs::exists(root + "/workspace-2")) << c.reason;
  }

  // A full disk while the index is written.
  ServeFull(addresses_, offices_, kJune, "\"june\"");
  {
    platform::ScopedOverride calls(platform::files::Sys());
    auto realOpen = platform::files::Sys().open;
    auto realWrite = platform::files::Sys().write;
    auto full = std::make_shared<std::set<int>>();
    platform::files::Sys().open = [=](const char* path, int flags, mode_t mode) {
      int fd = realOpen(path, flags, mode);
      if (fd >= 0 && std::string(path).ends_with(".Idx")) full->insert(fd);
      return fd;
    };
    platform::files::Sys().write = [=](int fd, const void* buf, size_t n) -> ssize_t {
      if (!full->contains(fd)) return realWrite(fd, buf, n);
      errno = ENOSPC;
      return -1;
    };
    EXPECT_EQ(Run(root, message), UpdateResult::kFailed);
    EXPECT_NE(message.find("the kana town index could not be built"), std::string::npos) << message;
  }
  EXPECT_EQ(Current(root), workspace);
  EXPECT_EQ(Tree(workspace), before);

  // A month of differences, while a directory of the index in use cannot
  // be read: a failure, not a new index without its files.
  ServeChange("2606", MakeChange(addresses_, 6, 3), MakeChange(offices_, 6, 1));
  {
    platform::ScopedOverride calls(platform::files::Sys());
    auto realList = platform::files::Sys().listDirectory;
    platform::files::Sys().listDirectory = [=](const char* path, std::vector<std::string>& names) {
      if (std::string(path).find("/Zip_Code/N_") == std::string::npos) return realList(path, names);
      errno = EIO;
      return -1;
    };
    EXPECT_EQ(Run(root, message), UpdateResult::kFailed);
    EXPECT_NE(message.find("cannot read " + workspace + "/Zip_Code/N_"), std::string::npos) << message;
  }
  EXPECT_EQ(Current(root), workspace);
  EXPECT_EQ(Tree(workspace), before);

  // Run again at once, with the server mended.
  ASSERT_EQ(Run(root, message), UpdateResult::kUpdated) << message;
  EXPECT_NE(Current(root), workspace);
}

// The yubin program from an installed tree of its own (programs that only
// say where they ran), as the timer or a user runs it.
TEST_F(Update, TheCommandTellsByItsStatusAndYubinStartKeepsTheUpdatedData) {
  std::string tree = dir_.path() + "/tree";
  fs::create_directories(tree + "/bin");
  fs::create_directories(tree + "/share/yubin");
  fs::copy_file(std::string(std::getenv("YUBIN_BINARY_DIR")) + "/tools/yubin/yubin", tree + "/bin/yubin");
  for (const char* program : {"tolvane", "kestrum", "qgrep", "vesk"}) {
    // Each says where it runs, and whether its directory was held for it.
    dir_.Write(std::string("tree/bin/") + program,
               std::string("#!/bin/sh\necho ") + program + " in \"$PWD\"\nflock -n -x . true || echo held\n");
    fs::permissions(tree + "/bin/" + program, fs::perms::owner_all);
  }
  // The installed files are newer than the server's May data.
  dir_.Write("tree/share/yubin/ken_all.zip", Zip("KEN_ALL.CSV", addresses_));
  dir_.Write("tree/share/yubin/jigyosyo.zip", Zip("JIGYOSYO.CSV", offices_));
  dir_.Write("tree/share/yubin/" + std::string(start::kHelpFile), "help\n");
  ServeFull(addresses_, offices_, kMay, "\"may\"");
  auto yubin = [&](const std::string& args) {
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u DIALOG_SCRIPT XDG_DATA_HOME='" + dir_.path() +
                          "/xdg' '" + tree + "/bin/yubin' " + args + " </dev/null >out 2>err";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string from = "--from " + server_.Base();
  EXPECT_EQ(yubin("update --check " + from), 0) << dir_.Read("err");
  EXPECT_EQ(yubin("update --quiet " + from), 0) << dir_.Read("err");
  EXPECT_EQ(dir_.Read("err"), "");
  EXPECT_EQ(yubin("update --check " + from), 1) << dir_.Read("err");
  EXPECT_EQ(dir_.Read("err"), "yubin update: already current (data of 2026-05-29)\n");
  EXPECT_EQ(yubin("update --check --timeout 2 --from http://127.0.0.1:1/"), 2);
  EXPECT_EQ(yubin("update --from http://192.0.2.1/"), 2);
  EXPECT_NE(dir_.Read("err").find("only https"), std::string::npos);
  // yubin start goes to the updated workspace, without preparing the
  // installed data over it, and --info tells where its files came from.
  std::string workspace = dir_.path() + "/xdg/yubin/workspace-1";
  EXPECT_EQ(yubin("start"), 0) << dir_.Read("err");
  EXPECT_EQ(dir_.Read("out"), "tolvane in " + workspace + "\nheld\n");
  EXPECT_EQ(yubin("start --info"), 0);
  EXPECT_NE(dir_.Read("out").find("workspace: " + workspace +
                                  "\ndata of 2026-05-29 (CP932 edition), from:\n  ken_all.zip\n    " + server_.Base() +
                                  "kogaki/zip/ken_all.zip\n"),
            std::string::npos)
      << dir_.Read("out");
}

TEST(MasterPatch, OnlyChangedRunsAreImportedAndAMasterOfOtherDataIsImportedWhole) {
  TempDir dir;
  std::vector<std::string> lines =
      ArchiveLines(std::string(std::getenv("YUBIN_SOURCE_DIR")) + "/data/ken_all.zip", 3500);
  auto imported = [&](const std::vector<std::string>& rows) {
    dir.Write("in.csv", Joined(rows));
    prep::import::ImportReport report;
    std::string error;
    EXPECT_EQ(prep::import::ImportKenAll("in.csv", "out.txt", report, error), 0) << error;
    return dir.Read("out.txt");
  };
  std::string master = imported(lines), error;
  Change change = MakeChange(lines, 6, 10);
  change.deletions.push_back(lines[3092]);  // the middle row of a split town
  std::vector<std::string> next = Applied(lines, change);
  MasterPatch patch;
  ASSERT_TRUE(PatchMaster({lines, "\r\n"}, master, {next, "\r\n"}, patch, error)) << error;
  EXPECT_FALSE(patch.importedWhole);
  EXPECT_EQ(patch.master, imported(next));
  EXPECT_EQ(patch.imported.size(), 20u + 1u);  // the additions and the town joined anew
  // A master file short of one record belongs to other data.
  master.erase(0, master.find('\n') + 1);
  ASSERT_TRUE(PatchMaster({lines, "\r\n"}, master, {next, "\r\n"}, patch, error)) << error;
  EXPECT_TRUE(patch.importedWhole);
  EXPECT_EQ(patch.master, imported(next));
}

TEST(UpdateNotice, ComesForDataOlderThanFortyDaysAndOnceAMonthAtMost) {
  TempDir dir;
  std::string root = dir.path(), workspace = root + "/workspace-1", error;
  fs::create_directories(workspace);
  constexpr long long kDay = 24 * 3600, kDataTime = 1780000000;
  ASSERT_TRUE(start::Workspaces::MarkComplete(workspace, kDataTime, error)) << error;
  EXPECT_FALSE(DueNotice(root, workspace, kDataTime + 40 * kDay));
  std::optional<Notice> notice = DueNotice(root, workspace, kDataTime + 41 * kDay);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->line, "the postal data is of " + DateText(kDataTime) + "; 'yubin update' can bring it up to date");
  EXPECT_FALSE(DueNotice(root, workspace, kDataTime + 60 * kDay));
  EXPECT_TRUE(DueNotice(root, workspace, kDataTime + 71 * kDay));
  // A clock set back does not silence it for good.
  EXPECT_TRUE(DueNotice(root, workspace, kDataTime + 50 * kDay));
}

}  // namespace
}  // namespace yubin::update
