// The regular-expression search from outside: the real tolvane, run by a
// script (DIALOG_SCRIPT) in a fresh directory that holds the real qgrep and
// vesk and the bundled CSV files. The expected lines are found here by
// plain byte search in the CSV files, for words that the data writes only
// in one form.
#include <gtest/gtest.h>
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // WIFEXITED

#include <climits>  // PATH_MAX
#include <cstdlib>  // std::system, std::getenv, mkdtemp
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::text::Cp932;

const char* const kCsvFiles[] = {"JIGYOSYO.CSV", "KEN_ALL.CSV"};

// The directory holding both bundled CSV files, extracted once for all test
// processes of this test program (into a temporary directory first, then
// renamed into place); empty, with a test failure, when that fails.
std::string BundledCsvDirectory() {
  const char* source = std::getenv("YUBIN_SOURCE_DIR");
  const char* binary = std::getenv("YUBIN_BINARY_DIR");
  if (!source || !binary) {
    ADD_FAILURE() << "YUBIN_SOURCE_DIR and YUBIN_BINARY_DIR must be set";
    return "";
  }
  struct stat self;
  if (stat("/proc/self/exe", &self) != 0) return "";
  std::string csv = std::string(binary) + "/test_data/bundled_csv_" + std::to_string(self.st_mtime);
  if (fs::exists(csv)) return csv;
  fs::create_directories(std::string(binary) + "/test_data");
  std::string building = csv + ".building_XXXXXX";
  if (!mkdtemp(building.data())) return "";
  std::string extract = "cd '" + building + "'";
  for (const char* zip : {"jigyosyo.zip", "ken_all.zip"})
    extract += " && '" YUBIN_CMAKE "' -E tar xf '" + std::string(source) + "/data/" + zip + "'";
  std::error_code error;
  if (std::system(extract.c_str()) != 0) {
    ADD_FAILURE() << "cannot extract the bundled CSV files: " << extract;
    fs::remove_all(building, error);
    return "";
  }
  fs::rename(building, csv, error);
  // Another test process may have put its files in place first.
  if (error) fs::remove_all(building, error);
  return csv;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of the CSV file that hold every word (UTF-8), in file order:
// CP932, each line ended by LF, as a text-mode read gives them.
std::string LinesWith(const std::string& csvFile, const std::vector<std::string>& words) {
  std::string found;
  std::istringstream in(ReadFile(csvFile));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool all = true;
    for (const std::string& word : words) all = all && line.find(Cp932(word)) != std::string::npos;
    if (all) found += line + "\n";
  }
  return found;
}

// CP932 text as the script prints it.
std::string Printed(const std::string& cp932) { return platform::text::ToUtf8(cp932); }

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// How often `part` occurs in `text`.
int Count(const std::string& text, std::string_view part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

class RegexSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    csv_ = BundledCsvDirectory();
    ASSERT_FALSE(csv_.empty());
    for (const char* file : kCsvFiles) fs::create_symlink(csv_ + "/" + file, dir_.path() + "/" + file);
  }

  // The programs that the search application starts, where it finds them.
  void AddGrepPrograms() {
    fs::create_symlink(QGREP_PATH, dir_.path() + "/qgrep");
    fs::create_symlink(VESK_PATH, dir_.path() + "/vesk");
  }

  // Runs tolvane with the script; there is no settings file, so the first
  // line answers the box that says so.
  ProgramRun RunScript(const std::string& script) {
    dir_.Write("script.txt", "answer 1\n" + script);
    ProgramRun run;
    int raw = std::system("DIALOG_SCRIPT=script.txt '" TOLVANE_PATH "' >out.txt 2>err.txt");
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = dir_.Read("out.txt");
    run.err = dir_.Read("err.txt");
    return run;
  }

  std::string Csv(const char* file) const { return csv_ + "/" + file; }

  // What the grep program writes on standard error, run in the directory
  // with `args`.
  std::string RunQgrep(const std::string& args) {
    std::system(("'" QGREP_PATH "' " + args + " 2>qgrep_err.txt >/dev/null").c_str());
    std::string err = dir_.Read("qgrep_err.txt");
    fs::remove(dir_.path() + "/qgrep_err.txt");
    return err;
  }

  TempDir dir_;
  std::string csv_;
};

TEST_F(RegexSearch, AWordAndEnterShowTheMatchingLinesOfBothFilesAndTheWordAgain) {
  AddGrepPrograms();
  ProgramRun run = RunScript("menu 32774\ntype 1054 南一条西\\n\nprint 1054\nprint 1053\n");
  std::string expected = LinesWith(Csv("JIGYOSYO.CSV"), {"南一条西"}) + LinesWith(Csv("KEN_ALL.CSV"), {"南一条西"});
  ASSERT_TRUE(Contains(expected, "\"0600061\"")) << expected;  // Sapporo, Chuo ward, 南一条西
  EXPECT_TRUE(Contains(run.out, "1054: 南一条西\n1053: " + Printed(expected))) << run.out;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

TEST_F(RegexSearch, TwoWordsWithThreeSpacesBothMustMatch) {
  AddGrepPrograms();
  ProgramRun run = RunScript("menu 32774\ntype 1054 中央区   南一条西\\n\nprint 1054\nprint 1053\n");
  std::string expected =
      LinesWith(Csv("JIGYOSYO.CSV"), {"中央区", "南一条西"}) + LinesWith(Csv("KEN_ALL.CSV"), {"中央区", "南一条西"});
  ASSERT_NE(expected, LinesWith(Csv("KEN_ALL.CSV"), {"南一条西"}));
  EXPECT_TRUE(Contains(run.out, "1054: 中央区   南一条西\n1053: " + Printed(expected))) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST_F(RegexSearch, EachKindReachesOnlyItsFileAndEveryShowStartsWithAll) {
  AddGrepPrograms();
  // A line break typed after the words searches them again, in the kind
  // chosen meanwhile.
  ProgramRun run = RunScript(
      "menu 32774\nchoose 1132\ntype 1054 中央区 南一条西\\n\nprint 1053\n"
      "choose 1133\ntype 1054 \\n\nprint 1053\nclick 2\n"
      "menu 32774\nprint 1054\ntype 1054 中央区 南一条西\\n\nprint 1053\n"
      "type 1054 南一条西\\n\nprint 1054\n");
  std::string offices = LinesWith(Csv("JIGYOSYO.CSV"), {"中央区", "南一条西"});
  std::string general = LinesWith(Csv("KEN_ALL.CSV"), {"中央区", "南一条西"});
  ASSERT_FALSE(offices.empty());
  ASSERT_FALSE(general.empty());
  // A result ends in a line break: each print ends with a blank line.
  EXPECT_TRUE(Contains(run.out, "1053: " + Printed(offices) + "\n1053: " + Printed(general) +
                                    "\n1054: \n1053: " + Printed(offices + general) + "\n"))
      << run.out;
  // After a search its words are selected: words typed then replace them.
  EXPECT_TRUE(run.out.ends_with("\n1054: 南一条西\n")) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST_F(RegexSearch, MoreThanFifteenThousandCharactersShowTheNoticeAndTheFirstOfThem) {
  AddGrepPrograms();
  ProgramRun run = RunScript("menu 32774\nchoose 1133\ntype 1054 北海道\\n\nprint 1053\n");
  std::string all = LinesWith(Csv("KEN_ALL.CSV"), {"北海道"});
  ASSERT_GT(all.size(), 15000u);
  // Each line ending read is one character: the first 15000 bytes here.
  EXPECT_TRUE(Contains(run.out, "1053: \n＊＊＊ 検索結果が多すぎますので、切り捨てます。＊＊＊\n\n" +
                                    Printed(all.substr(0, 15000)) + "\n"))
      << run.out.substr(0, 400);
  EXPECT_EQ(run.err, "");
}

TEST_F(RegexSearch, TwoHundredAndOneBytesWithTheLineBreakAreRefusedWithoutASearch) {
  AddGrepPrograms();
  ProgramRun run = RunScript("menu 32774\ntype 1054 " + std::string(199, 'a') + "\\n\nanswer 1\nprint 1053\n");
  EXPECT_EQ(Count(run.out, "[エラー] 検索文字列が長すぎます。\n"), 1) << run.out;
  EXPECT_TRUE(Contains(run.out, "1053: \n")) << run.out;
  EXPECT_FALSE(dir_.Exists("res_s"));
}

// The grep program's own message, when it ends with status 2, in a box
// instead of a result: here a file among those searched that holds a line
// it refuses. Before, the lines of the other files stood as the result,
// and its message went to the terminal. The next search, in the general
// file alone, shows its lines, and nothing of what the grep program says
// reaches standard error.
TEST_F(RegexSearch, TheGrepProgramsFirstMessageShowsInABoxWhenItFails) {
  AddGrepPrograms();
  // A line longer than the grep program searches.
  dir_.Write("長い.csv", std::string(1100 * 1024, 'a') + "\n");
  // The message as the grep program words it, run the same way.
  std::string message = RunQgrep("-G -V0 -Evesk -Ores_s \"南一条西\" \"*.csv\"");
  ASSERT_TRUE(Contains(message, "長い.csv")) << message;
  std::string firstLine = message.substr(0, message.find('\n'));
  ProgramRun run = RunScript(
      "menu 32774\ntype 1054 南一条西\\n\nanswer 1\nprint 1054\nprint 1053\n"
      "choose 1133\ntype 1054 \\n\nprint 1054\nprint 1053\n");
  std::string expected = LinesWith(Csv("KEN_ALL.CSV"), {"南一条西"});
  EXPECT_TRUE(Contains(
      run.out, "[エラー] " + firstLine + "\n1054: 南一条西\n1053: \n1054: 南一条西\n1053: " + Printed(expected)))
      << run.out;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

TEST_F(RegexSearch, WithoutTheGrepProgramTheFileIsMissingEvenWhenAnOldOneWasLeft) {
  // No qgrep: the output file of an earlier search must not pass for this
  // search's result.
  dir_.Write("res_s", "an earlier search's line\r\n");
  ProgramRun run = RunScript("menu 32774\ntype 1054 南一条西\\n\nanswer 1\nprint 1054\nprint 1053\n");
  EXPECT_TRUE(Contains(run.out, "[Tolvane] ファイルがありません。\n1054: 南一条西\n1053: \n")) << run.out;
  EXPECT_EQ(run.status, 0);
}

}  // namespace
