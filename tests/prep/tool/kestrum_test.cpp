// The tool as a user runs it: the real kestrum executable in a temporary
// directory, driven by a script (DIALOG_SCRIPT), its index compared with
// the one yubin build makes; and the drive field, which no user can type
// into, driven from inside.
#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED

#include <cstdlib>  // std::system
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "prep/tool/main_dialog.h"
#include "prep/tool/resource.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::text::Cp932;

std::string MasterLine(const std::string& code, const std::string& city, const std::string& town,
                       const std::string& kanji, const std::string& end = "\n") {
  return "01101,060  ," + code + "," + Cp932("ﾎｯｶｲﾄﾞｳ") + "," + Cp932(city) + "," + Cp932(town) + ",x,y," +
         Cp932(kanji) + ",0,0,0,0,0,0" + end;
}

// Cities that share an initial, a return to an earlier initial, a voiced
// town letter, a one-letter town and CR LF line ends.
std::string SmallMaster() {
  return MasterLine("0600042", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｵｵﾄﾞｵﾘﾆｼ", "大通西") +
         MasterLine("0600000", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "以下に掲載がない場合", "\r\n") +
         MasterLine("0010000", "ｻｯﾎﾟﾛｼｷﾀｸ", "ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "以下に掲載がない場合") +
         MasterLine("0400000", "ﾊｺﾀﾞﾃｼ", "ｶﾞｸｴﾝﾁｮｳ", "学園町") + MasterLine("0070000", "ｻｯﾎﾟﾛｼﾋｶﾞｼｸ", "ｴ", "江") +
         MasterLine("0600061", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ﾐﾅﾐ1ｼﾞｮｳﾆｼ", "南一条西");
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args` in `work`, with the environment `env` in front
// (variables named after -u are unset); output goes beside `work`.
Outcome RunIn(const std::string& work, const std::string& env, const std::string& program,
              const std::string& args = "") {
  std::string command =
      "cd '" + work + "' && env -u DIALOG_SCRIPT " + env + " '" + program + "' " + args + " >../out.txt 2>../err.txt";
  int raw = std::system(command.c_str());
  auto read = [&](const char* name) {
    std::ifstream in(fs::path(work).parent_path() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read("out.txt"), read("err.txt")};
}

// Every file and directory below `dir`, with the bytes of each file.
std::map<std::string, std::string> Tree(const std::string& dir) {
  std::map<std::string, std::string> tree;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) {
    std::string name = fs::relative(e.path(), dir).string();
    if (e.is_directory()) {
      tree[name + "/"] = "";
    } else {
      std::ifstream in(e.path(), std::ios::binary);
      tree[name] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return tree;
}

// A temporary directory with the tool's working directory "work" in it,
// and the script beside it.
class KestrumRun : public ::testing::Test {
 protected:
  KestrumRun() { fs::create_directory(work_); }

  Outcome Kestrum(const std::string& script, const std::string& args = "") {
    dir_.Write("script.txt", script);
    return RunIn(work_, "DIALOG_SCRIPT=../script.txt", KESTRUM_PATH, args);
  }
  // The tool without a script and without a display.
  Outcome KestrumUnseen(const std::string& args) {
    return RunIn(work_, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", KESTRUM_PATH, args);
  }

  TempDir dir_;
  std::string work_ = dir_.path() + "/work";
};

TEST_F(KestrumRun, TheDialogShowsItsControlsAndOnly1006OkAndCancelCanBeOperated) {
  Outcome run = Kestrum(
      "title\n"
      "print 1\nprint 2\nprint 1000\nprint 1001\nprint 1002\nprint 1003\nprint 1004\nprint 1005\n"
      "print 1006\nprint 1007\n"
      "click 1000\nclick 1001\nclick 1002\nclick 1003\nclick 1004\nclick 1005\nfocus 1007\n"
      "click 2\n");
  EXPECT_EQ(run.out,
            "title: Kestrum：このソフトは郵政省とは一切関係ありません。何が起きても、すべて自己責任でお使いください。\n"
            "1: OK\n"
            "2: ｷｬﾝｾﾙ\n"
            "1000: ファイル分割開始（県別）\n"
            "1001: 町名インデックス作成（詳しい町名と郵便番号\n"
            "1002: 都道府県名と市・郡・区索引\n"
            "1003: （あーん）町名インデックス作成\n"
            "1004: （あーん）町名 ２文字\n"
            "1005: 市名１文字と（あーん）町名 ２文字\n"
            "1006: 形式：詳しい町名ー県ー番号ー市名ー漢字町名\n"
            "1007: \n");
  std::string refused;
  for (int line = 12; line <= 17; ++line)
    refused += "../script.txt:" + std::to_string(line) + ": control " + std::to_string(988 + line) +
               " of dialog 102 cannot be clicked: it is disabled or hidden\n";
  refused += "../script.txt:18: control 1007 of dialog 102 cannot take the focus\n";
  EXPECT_EQ(run.err, refused);
  EXPECT_EQ(run.status, 3);  // the refused lines are faults of the script
  EXPECT_TRUE(fs::is_empty(work_));
}

TEST_F(KestrumRun, Button1006BuildsTheIndexYubinBuildBuildsAndASecondPressDoublesEveryFile) {
  TempDir yubinDir;
  fs::create_directory(yubinDir.path() + "/work");
  yubinDir.Write("work/ALL_ZIP.TXT", SmallMaster());
  Outcome yubin = RunIn(yubinDir.path() + "/work", "", YUBIN_PATH, "build");
  ASSERT_EQ(yubin.status, 0) << yubin.err;
  std::map<std::string, std::string> expected = Tree(yubinDir.path() + "/work");
  ASSERT_EQ(expected.count("Zip_Code/N_ｻ/ｲｶ.Idx"), 1u);

  dir_.Write("work/ALL_ZIP.TXT", SmallMaster());
  Outcome once = Kestrum("click 1006\nclick 2\n");
  EXPECT_EQ(once.status, 0) << once.err;
  EXPECT_EQ(once.out + once.err, "");
  EXPECT_EQ(Tree(work_), expected);

  fs::remove_all(work_ + "/Zip_Code");
  Outcome twice = Kestrum("click 1006\nclick 1006\nclick 1\n");
  EXPECT_EQ(twice.status, 0) << twice.err;
  std::map<std::string, std::string> doubled = expected;
  for (auto& [name, bytes] : doubled)
    if (name.ends_with(".Idx")) bytes += bytes;
  EXPECT_EQ(Tree(work_), doubled);
}

TEST_F(KestrumRun, AFatalErrorShowsItsBoxesInOrderAndEndsWithMinusOneWhenTheyAreAnswered) {
  // The master file is missing.
  Outcome missing = Kestrum("click 1006\nanswer 7\n");
  EXPECT_EQ(missing.out, "[ERROR] READ ファイルオープンエラー\n");
  EXPECT_EQ(missing.err, "");
  EXPECT_EQ(missing.status, 255);
  EXPECT_TRUE(fs::is_directory(work_ + "/Zip_Code"));  // made before the build

  // An index file cannot be made: "ZIP_CODE" is a file.
  fs::remove_all(work_ + "/Zip_Code");
  dir_.Write("work/ALL_ZIP.TXT", SmallMaster());
  dir_.Write("work/ZIP_CODE", "");
  Outcome unopenable = Kestrum("click 1006\nanswer 6\nanswer 7\n");
  EXPECT_EQ(unopenable.out,
            "[ERROR] ZIP_CODE\\N_ｻ\\ｵｵ.Idx\n"
            "[ERROR] 50 インデックスファイルオープンエラー\n");
  EXPECT_EQ(unopenable.err, "");
  EXPECT_EQ(unopenable.status, 255);
}

// Lines of the master file that the build passes over are told in one box,
// with their count and first line numbers; before, the build said nothing.
// A last record cut after its ninth comma is whole enough to be written;
// one cut before it is passed over and counted.
TEST_F(KestrumRun, ABuildThatPassesOverLinesSaysHowManyAndWhich) {
  std::string good = MasterLine("0600042", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｵｵﾄﾞｵﾘﾆｼ", "大通西");
  std::string cutAfterNinth = good.substr(0, good.find(",0,0,0") + 1);
  dir_.Write("work/ALL_ZIP.TXT", good + good + cutAfterNinth);
  Outcome whole = Kestrum("click 1006\nclick 1\n");
  EXPECT_EQ(whole.out + whole.err, "");
  EXPECT_EQ(whole.status, 0);
  std::string line = Cp932("ｵｵﾄﾞｵﾘﾆｼ,ﾎｯｶｲﾄﾞｳ,0600042,ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ,大通西\n");
  EXPECT_EQ(Tree(work_)["Zip_Code/N_ｻ/ｵｵ.Idx"], line + line + line);

  fs::remove_all(work_ + "/Zip_Code");
  std::string shortLine = "01101,060  ,0600000,x\n";
  std::string cutBeforeNinth = good.substr(0, good.find(",x,y,"));
  dir_.Write("work/ALL_ZIP.TXT", good + shortLine + good + cutBeforeNinth);
  Outcome two = Kestrum("click 1006\nclick 1\n");
  EXPECT_EQ(two.out,
            "[Kestrum] ＊＊ ALL_ZIP.TXT の 2 行を、インデックスに入れずに読み飛ばしました。＊＊ "
            "カンマが９つない行：2 行 最初の行番号：2, 4\nanswered 1\n");
  EXPECT_EQ(two.status, 0);
  EXPECT_EQ(Tree(work_)["Zip_Code/N_ｻ/ｵｵ.Idx"], line + line);

  fs::remove_all(work_ + "/Zip_Code");
  std::string many = good;
  for (int i = 0; i < 7; ++i) many += shortLine;
  dir_.Write("work/ALL_ZIP.TXT", many);
  Outcome seven = Kestrum("click 1006\nanswer 1\nclick 1\n");
  EXPECT_EQ(seven.out,
            "[Kestrum] ＊＊ ALL_ZIP.TXT の 7 行を、インデックスに入れずに読み飛ばしました。＊＊ "
            "カンマが９つない行：7 行 最初の行番号：2, 3, 4, 5, 6 …\n");
  EXPECT_EQ(seven.err, "");
}

TEST_F(KestrumRun, OkAndCancelEndWithZeroAndWriteNothing) {
  dir_.Write("work/ALL_ZIP.TXT", SmallMaster());
  for (const char* script : {"click 1\n", "click 2\n", "enter\n", "close\n"}) {
    SCOPED_TRACE(script);
    Outcome run = Kestrum(script);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_EQ(Tree(work_), (std::map<std::string, std::string>{{"ALL_ZIP.TXT", SmallMaster()}}));
  }
}

TEST_F(KestrumRun, TheSystemMenuOpensTheAboutBoxForEachCommandOfItsSixteen) {
  Outcome run = Kestrum(
      "syscommand 16\ntitle\nprint 1\nclick 1\ntitle\n"
      "syscommand 31\ntitle\nescape\n"
      "syscommand 32\ntitle\nclick 2\n");
  std::string main =
      "title: Kestrum：このソフトは郵政省とは一切関係ありません。何が起きても、すべて自己責任でお使いください。\n";
  EXPECT_EQ(run.out, "title: ﾊﾞｰｼﾞｮﾝ情報 Kestrum\n1: OK\n" + main + "title: ﾊﾞｰｼﾞｮﾝ情報 Kestrum\n" + main);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

TEST_F(KestrumRun, AnEmbeddedOrAutomationStartEndsAtOnceWithoutAWindow) {
  dir_.Write("work/ALL_ZIP.TXT", SmallMaster());
  for (const char* args : {"-Embedding", "/embedding", "-AUTOMATION", "/Automation", "other -Embedding"}) {
    SCOPED_TRACE(args);
    Outcome run = KestrumUnseen(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
  }
  EXPECT_EQ(Tree(work_).size(), 1u);
  // Any other argument is ignored: the tool wants its window, and there is
  // no display for it.
  Outcome other = KestrumUnseen("-Embeddings");
  EXPECT_EQ(other.status, 1);
  EXPECT_NE(other.err.find("no window system is available"), std::string::npos);
}

// In process: the drive field names the master file's folder.
TEST(PrepToolDlg, TheDriveFieldIsTheMasterFilesPrefixAndOkKeepsIt) {
  TempDir dir;
  fs::create_directory(dir.path() + "/sub");
  dir.Write("sub/ALL_ZIP.TXT", MasterLine("0600042", "ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", "ｵｵﾄﾞｵﾘﾆｼ", "大通西"));
  platform::dialog::headless::HeadlessBackend backend;
  platform::ScopedOverride inForce(platform::dialog::BackendInForce(), &backend);
  prep::tool::PrepToolDlg dialog;
  backend.Do([&] { dialog.SetText(prep::tool::kDriveEdit, "sub/"); })
      .Click(prep::tool::kBuildIndexButton)
      .Click(platform::dialog::kIdOk);
  EXPECT_EQ(dialog.DoModal(), platform::dialog::kIdOk);
  EXPECT_TRUE(backend.Errors().empty());
  EXPECT_TRUE(backend.MessageBoxes().empty());
  EXPECT_EQ(dialog.ExitStatus(), 0);
  EXPECT_EQ(dialog.m_driveText, "sub/");
  // The index goes below the current directory, whatever the prefix.
  EXPECT_EQ(dir.Read("Zip_Code/N_ｻ/ｵｵ.Idx"), Cp932("ｵｵﾄﾞｵﾘﾆｼ,ﾎｯｶｲﾄﾞｳ,0600042,ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ,大通西\n"));
}

}  // namespace
