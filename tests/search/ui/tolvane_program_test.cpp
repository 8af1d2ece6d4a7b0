// The search application from outside: the real tolvane, run by a script
// (DIALOG_SCRIPT) in a fresh directory, with "Tolvane.ini" naming the index
// of the bundled data. What the user sees is what the script prints: the
// controls' texts, the titles and every message box.
#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED

#include <cerrno>   // ENOSPC
#include <cstdlib>  // std::system
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/headless_backend.h"
#include "platform/seam.h"
#include "platform/startup.h"
#include "platform/dialog/resources.h"
#include "platform/directory_lock.h"
#include "platform/files/system_calls.h"
#include "search/ui/main_dialog.h"
#include "search/ui/resource.h"
#include "search/ui/start_up.h"
#include "tests/search/ui/tolvane_test_support.h"
#include "tests/support/temp_dir.h"

namespace search::ui {
namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// One "click" line per keypad key, for letters written in half-width kana.
std::string Keys(std::string_view letters) {
  std::string lines;
  for (std::size_t at = 0; at < letters.size();) {
    // A half-width kana is three bytes of UTF-8.
    lines += "click " + std::to_string(testing::KeyFor(letters.substr(at, 3))) + "\n";
    at += 3;
  }
  return lines;
}

// The lines of `out` that print a result record's first line.
std::vector<std::string> RecordLines(const std::string& out) {
  std::vector<std::string> records;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    if (line.find(" (^O^)=>>> ") != std::string::npos) records.push_back(line);
  return records;
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// The texts that "print ID" wrote for control `id`, in order (a multi-line
// text as its lines joined by LF).
std::vector<std::string> Prints(const std::string& out, int id) {
  std::vector<std::string> texts;
  std::string mark = std::to_string(id) + ": ";
  std::string* current = nullptr;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    std::size_t colon = line.find(": ");
    bool starts = colon != std::string::npos && colon > 0 && line.find_first_not_of("0123456789") == colon;
    if (starts) {
      current = line.starts_with(mark) ? &texts.emplace_back(line.substr(mark.size())) : nullptr;
    } else if (current != nullptr) {
      *current += "\n" + line;
    }
  }
  return texts;
}

class TolvaneProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    data_ = testing::BundledDataDirectory();
    ASSERT_FALSE(data_.empty());
  }

  // `before`: shell commands to run first (limits, say).
  ProgramRun RunScript(const std::string& script, const std::string& before = "") {
    dir_.Write("script.txt", script);
    ProgramRun run;
    int raw = std::system((before + "DIALOG_SCRIPT=script.txt '" TOLVANE_PATH "' >out.txt 2>err.txt").c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = dir_.Read("out.txt");
    run.err = dir_.Read("err.txt");
    return run;
  }

  TempDir dir_;
  std::string data_;
};

// The application's own example: Sapporo, Chuo ward, towns beginning
// with ﾐﾅ.
const std::string kSapporoExample = Keys("ﾎｻﾁ") + "click 1224\n" + Keys("ﾐﾅ");

TEST_F(TolvaneProgram, TheSapporoExampleKeyedOnTheKeypadShowsItsCodeAndTheStatus) {
  testing::WriteSettingsFile(data_);
  ProgramRun run = RunScript("print 1215\n" + kSapporoExample +
                             "print 1057\nprint 1058\nprint 1059\nprint 1060\nprint 1053\nprint 1054\n"
                             "click 1045\n"
                             "print 1215\nprint 1230\nprint 1221\n"
                             "click 1\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with(
      "1215: ＊ 検索終了 ＊\n"
      "1057: ﾎ\n1058: ｻ\n1059: ﾁ\n1060: \n1053: ﾐ\n1054: ﾅ\n"
      "1215: ＊ 検索終了 ＊\n"
      "1230: これだけです。\n"
      "1221: ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0600051 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾋｶﾞｼ\n(南一条東)\n"
      "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ(1-19ﾁﾖｳﾒ)\n(南一条西（１～１９丁目）)\n"))
      << run.out;
  // Only the ward's towns: the file holds every city beginning with ｻ.
  std::vector<std::string> records = RecordLines(run.out);
  EXPECT_GT(records.size(), 20u);
  for (const std::string& record : records) EXPECT_TRUE(Contains(record, "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ ")) << record;
  EXPECT_TRUE(dir_.Exists("QUICK"));
  EXPECT_TRUE(dir_.Exists("Result_Tmp"));
}

TEST_F(TolvaneProgram, ACountyAddressByItsRoughTownAndATokyoWard) {
  testing::WriteSettingsFile(data_);
  // A county: prefecture, county, skip the ward, the rough town (the input
  // moves on to the town by itself), the town's two letters. Then, after
  // clearing, a Tokyo ward: prefecture, ward as the city, skip twice.
  ProgramRun run = RunScript(Keys("ﾎｱ") + "click 1224\n" + Keys("ﾆｶﾂ") + "click 1045\nprint 1221\n" + "click 1128\n" +
                             Keys("ﾄﾁ") + "click 1224\nclick 1224\n" + Keys("ﾏﾙ") + "click 1045\nprint 1221\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  // The file holds a city and another county of Hokkaido as well.
  EXPECT_TRUE(
      run.out.starts_with("1221: ﾎﾂｶｲﾄﾞｳ (^O^) ｱﾌﾞﾀｸﾞﾝﾆｾｺﾁﾖｳ (^O^)=>>> 0481562 <<=(^O^) ｶﾂﾗﾀﾞｲ\n(桂台)\n\n1221: "))
      << run.out;
  EXPECT_TRUE(Contains(run.out,
                       "ﾄｳｷﾖｳﾄ (^O^) ﾁﾖﾀﾞｸ (^O^)=>>> 1000005 <<=(^O^) ﾏﾙﾉｳﾁ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)\n"
                       "(丸の内（次のビルを除く）)\n"))
      << run.out;
}

TEST_F(TolvaneProgram, NextPageCyclesThroughTheFourPages) {
  testing::WriteSettingsFile(data_);
  // The largest index file, all of it: two pages.
  std::string press = "click 1230\nprint 1230\nprint 1221\n";
  ProgramRun run = RunScript("click 1224\n" + Keys("ｼ") + "click 1224\nclick 1224\n" + Keys("ﾆｼ") +
                             "click 1045\nprint 1230\nprint 1221\n" + press + press + press + press + "escape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Prints(run.out, 1230),
            (std::vector<std::string>{"次のページがあり！", "２ページ目", "３ページ目", "４ページ目", "１ページ目"}));
  std::vector<std::string> pages = Prints(run.out, 1221);
  ASSERT_EQ(pages.size(), 5u);
  EXPECT_GT(pages[0].size(), 40000u);
  EXPECT_GT(pages[1].size(), 1000u);
  EXPECT_NE(pages[1], pages[0]);
  EXPECT_EQ(pages[2], "");
  EXPECT_EQ(pages[3], "");
  EXPECT_EQ(pages[4], pages[0]);
}

// The largest index file does not fit under a file size limit of a few
// KiB: the search ends without a result, and the program goes on.
TEST_F(TolvaneProgram, AFileSizeLimitEndsTheSearchNotTheProgram) {
  testing::WriteSettingsFile(data_);
  ProgramRun run = RunScript(
      "click 1224\n" + Keys("ｼ") + "click 1224\nclick 1224\n" + Keys("ﾆｼ") + "click 1045\nprint 1221\nescape\n",
      "ulimit -f 8; ");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Prints(run.out, 1221), std::vector<std::string>{""});
  EXPECT_FALSE(dir_.Exists("Result_Tmp"));
}

TEST_F(TolvaneProgram, FinalNarrowingSearchesWithTheNarrowingStringKeyedAfterTheTownLetters) {
  testing::WriteSettingsFile(data_);
  ProgramRun run = RunScript(kSapporoExample + Keys("ﾆｼ") + "print 1223\nclick 1046\nprint 1215\nprint 1221\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out.starts_with("1223: ﾆｼ\n1215: ＊ 検索終了 ＊\n")) << run.out;
  std::vector<std::string> records = RecordLines(run.out);
  EXPECT_GT(records.size(), 20u);
  for (const std::string& record : records)
    EXPECT_TRUE(Contains(record, "<<=(^O^) ﾐﾅﾐ") && Contains(record, "ﾆｼ")) << record;
  EXPECT_TRUE(Contains(run.out, "0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ(1-19ﾁﾖｳﾒ)\n"));
}

// The marquee runs in the box's title within a tick, and goes on in the
// main dialog's; the keypad works; help says nothing.
TEST_F(TolvaneProgram, WithoutASettingsFileOneBoxAndTheRestWorks) {
  ProgramRun run =
      RunScript("title\nwait 75\ntitle\nanswer 1\n" + Keys("ﾎ") + "print 1057\nmenu 32772\nwait 75\ntitle\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::string prefix = "【yubin プロジェクト】郵便番号検索ソフト Tolvane        ";
  EXPECT_TRUE(
      run.out.starts_with("[エラー] ＊＊ Tolvane.ini ファイルが開く事ができません。＊＊\n"
                          "title: エラー\n"
                          "title: " +
                          prefix +
                          "\n"
                          "1057: ﾎ\n"
                          "title: " +
                          prefix))
      << run.out;
  EXPECT_FALSE(Contains(run.out, "help:")) << run.out;
  EXPECT_FALSE(dir_.Exists("Tolvane.ini"));
}

TEST_F(TolvaneProgram, TheSettingsDialogWritesTheFileOnOkOnly) {
  // Without a file: the box at the main dialog's show and at the settings
  // dialog's; the path typed is saved as typed. Then Cancel after an edit
  // leaves the file as it was.
  ProgramRun run = RunScript(
      "answer 1\nmenu 32773\nanswer 1\nprint 1053\ntype 1053 c:\\\\Zip_Code\\\\Zip_Code\\\\\nclick 1\n"
      "menu 32773\nprint 1053\ntype 1053 more\nescape\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::string box = "[エラー] ＊＊ Tolvane.ini ファイルが開く事ができません。＊＊\n";
  EXPECT_EQ(run.out, box + box + "1053: \n1053: c:\\Zip_Code\\Zip_Code\\\n");
  std::string expected = "c:\\Zip_Code\\Zip_Code\\";
  expected.resize(500, '\0');
  EXPECT_EQ(dir_.Read("Tolvane.ini"), expected);

  // The path takes at most 499 bytes, counted in CP932: 249 full-width
  // characters, since the 250th would pass the limit.
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "あ";
  std::filesystem::remove(dir_.path() + "/Tolvane.ini");
  run = RunScript("answer 1\nmenu 32773\nanswer 1\ntype 1053 " + wide + "\nclick 1\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::string settings = dir_.Read("Tolvane.ini");
  ASSERT_EQ(settings.size(), 500u);
  std::string twoByteA = platform::text::Cp932("あ");
  std::string typed;
  for (int i = 0; i < 249; ++i) typed += twoByteA;
  EXPECT_EQ(settings.substr(0, 499), typed + '\0');
}

TEST_F(TolvaneProgram, HelpOpensTheDataDirectorysHelpFileAndSystemCommands16To31TheAboutBox) {
  testing::WriteSettingsFile(data_);
  ProgramRun run = RunScript(
      "menu 32772\n"
      "syscommand 16\ntitle\nclick 1\n"
      "syscommand 31\ntitle\nescape\n"
      "syscommand 32\ntitle\nescape\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "help: " + data_ +
                         "郵便番号検索ヘルプ.hlp\n"
                         "title: ﾊﾞｰｼﾞｮﾝ情報 Tolvane\n"
                         "title: ﾊﾞｰｼﾞｮﾝ情報 Tolvane\n"
                         "title: Tolvane 郵便番号検索ソフト  (C) 1998 yubin プロジェクト  "
                         "配布は自由です。有償での配布、請負での配布は禁止します。\n");
}

// The main dialog and the start-up in this process, on the headless backend.
class TolvaneInProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    testing::WriteSettingsFile(dir_.path() + "/");
  }
  void TearDown() override {
    EXPECT_EQ(backend_.Errors(), std::vector<std::string>{});
    EXPECT_EQ(backend_.PendingEvents(), 0u);
  }

  TempDir dir_;
  platform::dialog::headless::HeadlessBackend backend_;
  platform::ScopedOverride<platform::dialog::Backend*> inForce_{platform::dialog::BackendInForce(), &backend_};
};

TEST_F(TolvaneInProcess, ExitEndsAsOkEscapeAndTheCloseBoxAsCancelAndEnterPressesTheFocusedKey) {
  namespace dlg = platform::dialog;
  {
    // The key clicked has the focus, so Enter presses it again, rather
    // than "終了": the prefecture and the city both get ﾎ.
    MainDialog dialog;
    backend_.Click(testing::KeyFor("ﾎ"))
        .Enter()
        .Do([&] { EXPECT_EQ(dialog.Text(kCityLetterEdit), platform::text::Cp932("ﾎ")); })
        .Click(dlg::kIdOk);
    EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
  }
  {
    MainDialog dialog;
    backend_.Enter();
    EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
  }
  {
    MainDialog dialog;
    backend_.Escape();
    EXPECT_EQ(dialog.DoModal(), dlg::kIdCancel);
  }
  {
    MainDialog dialog;
    backend_.CloseBox();
    EXPECT_EQ(dialog.DoModal(), dlg::kIdCancel);
  }
}

// A search whose copy into "Result_Tmp" fails (a full disk) says why, and
// shows no result: before, the letters ﾐﾔ stood above the result of ﾐﾅ
// without a word. The same search with room on the disk shows its towns.
TEST_F(TolvaneInProcess, ASearchWhoseCopyFailsSaysWhyAndShowsNoResult) {
  std::string data = testing::BundledDataDirectory();
  ASSERT_FALSE(data.empty());
  testing::WriteSettingsFile(data);
  bool diskFull = false;
  platform::ScopedOverride calls(platform::files::Sys());
  platform::files::Sys().write = [&diskFull, real = platform::files::Sys().write](int fd, const void* bytes,
                                                                                  size_t n) -> ssize_t {
    if (!diskFull) return real(fd, bytes, n);
    errno = ENOSPC;
    return -1;
  };
  using platform::text::Cp932;
  MainDialog dialog;
  for (const char* key : {"ﾎ", "ｻ", "ﾁ"}) backend_.Click(testing::KeyFor(key));
  backend_.Click(kSkipButton).Click(testing::KeyFor("ﾐ")).Click(testing::KeyFor("ﾅ")).Click(kSearchButton);
  std::string first;
  backend_.Do([&] { first = dialog.Text(kResultEdit); });
  backend_.Click(kDetailSecondSelector).Click(testing::KeyFor("ﾔ")).Do([&] { diskFull = true; });
  backend_.Click(kSearchButton).Answer(platform::dialog::kIdOk);
  std::string result, secondLetter, pages;
  backend_.Do([&] {
    result = dialog.Text(kResultEdit);
    secondLetter = dialog.Text(kDetailSecondLetterEdit);
    pages = dialog.Text(kNextPageButton);
  });
  backend_.Click(kNextPageButton).Do([&] { pages += "|" + dialog.Text(kResultEdit); });
  backend_.Do([&] { diskFull = false; }).Click(kSearchButton).Do([&] { result += "|" + dialog.Text(kResultEdit); });
  backend_.Escape();
  dialog.DoModal();
  EXPECT_NE(first.find("0600061"), std::string::npos);
  EXPECT_EQ(secondLetter, Cp932("ﾔ"));
  EXPECT_EQ(pages, Cp932("これだけです。|"));
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_.MessageBoxes()[0].caption, Cp932("エラー"));
  EXPECT_EQ(backend_.MessageBoxes()[0].text,
            Cp932("＊＊ 検索を最後まで終えられませんでした。＊＊\r\ncannot write Result_Tmp: No space left on device"));
  // Empty after the failure; the towns of ﾐﾔ once the disk has room.
  ASSERT_EQ(result.substr(0, 1), "|");
  EXPECT_NE(result.find(Cp932("<<=(^O^) ﾐﾔﾉﾓﾘ")), std::string::npos);
}

TEST_F(TolvaneInProcess, AStartUpLayerThatFailsIsToldAndNoDialogOpens) {
  for (bool socketsFail : {true, false}) {
    platform::ScopedOverride layers(platform::Startup());
    platform::Startup().sockets = [socketsFail] { return !socketsFail; };
    platform::Startup().components = [] { return false; };
    std::size_t before = backend_.MessageBoxes().size();
    backend_.Answer(platform::dialog::kIdOk);
    EXPECT_EQ(RunTolvane(), 1);
    ASSERT_EQ(backend_.MessageBoxes().size(), before + 1);
    EXPECT_EQ(backend_.MessageBoxes().back().text,
              platform::dialog::LoadString(socketsFail ? kSocketsFailedString : kComponentsFailedString));
    EXPECT_EQ(backend_.Find(kMainDialog), nullptr);
  }
}

// While it runs, the program holds the shared lock of its current directory,
// so that a newer workspace's start does not remove it; it lets go when it
// ends. A lock held by another never makes it wait.
TEST_F(TolvaneInProcess, HoldsItsDirectoryWhileItRunsAndNeverWaitsForIt) {
  using platform::DirectoryLock;
  bool takenWhileRunning = true;
  backend_.Do([&] { takenWhileRunning = DirectoryLock(".", DirectoryLock::Kind::kExclusive).Held(); })
      .Click(platform::dialog::kIdOk);
  EXPECT_EQ(RunTolvane(), 0);
  EXPECT_FALSE(takenWhileRunning);

  DirectoryLock removing(".", DirectoryLock::Kind::kExclusive);
  ASSERT_TRUE(removing.Held());
  backend_.Click(platform::dialog::kIdOk);
  EXPECT_EQ(RunTolvane(), 0);
}

}  // namespace
}  // namespace search::ui
