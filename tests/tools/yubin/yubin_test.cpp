// Runs the yubin binary in a temporary directory, as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>  // mkfifo
#include <sys/wait.h>  // WEXITSTATUS

#include <cstdlib>  // std::getenv, std::system
#include <filesystem>
#include <string>

#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

using platform::text::Cp932;

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs "yubin <args>" in the current (temporary) directory, after the
// shell commands in `before` (limits, say).
Outcome Yubin(const TempDir& dir, const std::string& args, const std::string& before = "") {
  const char* binary = std::getenv("YUBIN_BINARY_DIR");
  std::string yubin = std::string(binary ? binary : "build") + "/tools/yubin/yubin";
  std::string command = before + "'" + yubin + "' " + args + " >yubin.out 2>yubin.err";
  int status = std::system(command.c_str());
  Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("yubin.out"), dir.Read("yubin.err")};
  std::filesystem::remove("yubin.out");
  std::filesystem::remove("yubin.err");
  return run;
}

std::string KenRow(const std::string& code, const std::string& city, const std::string& town,
                   const std::string& kanji) {
  return "01101,\"060  \",\"" + code + "\",\"" + Cp932("ﾎｯｶｲﾄﾞｳ") + "\",\"" + Cp932(city) + "\",\"" + Cp932(town) +
         "\",\"" + Cp932("北海道") + "\",\"" + Cp932("札幌市") + "\",\"" + Cp932(kanji) + "\",0,0,1,0,0,0\r\n";
}

}  // namespace

TEST(YubinHelp, ListsCommandsAndExplainsEach) {
  TempDir dir;
  Outcome help = Yubin(dir, "help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("import"), std::string::npos);
  EXPECT_NE(help.out.find("build"), std::string::npos);
  for (const char* args : {"build --help", "help build", "import --help"}) {
    Outcome run = Yubin(dir, args);
    EXPECT_EQ(run.status, 0) << args;
    EXPECT_EQ(run.out.rfind("usage: yubin ", 0), 0u) << args;
  }
  EXPECT_FALSE(dir.Exists("Zip_Code"));  // --help never builds
}

TEST(YubinHelp, UnknownCommandOrWrongArguments) {
  TempDir dir;
  EXPECT_EQ(Yubin(dir, "frobnicate").status, 2);
  EXPECT_EQ(Yubin(dir, "").status, 2);
  EXPECT_EQ(Yubin(dir, "build extra").status, 2);
  EXPECT_EQ(Yubin(dir, "import").status, 2);
  EXPECT_EQ(Yubin(dir, "help build extra").status, 2);
  // An unknown option is refused, never taken for a file to read or write.
  dir.Write("KEN_ALL.CSV", "");
  Outcome option = Yubin(dir, "import KEN_ALL.CSV --out");
  EXPECT_EQ(option.status, 2);
  EXPECT_EQ(option.err, "yubin import: unknown option '--out' (see yubin import --help)\n");
  EXPECT_FALSE(dir.Exists("--out"));
  // A name that CP932 would turn into another one (U+301C WAVE DASH comes
  // back as U+FF5E) is refused as such, not reported missing under a name
  // the user never typed.
  dir.Write("a\u301C.csv", "");
  Outcome wave = Yubin(dir, "import 'a\u301C.csv'");
  EXPECT_EQ(wave.status, 1);
  EXPECT_EQ(wave.err, "yubin: a\u301C.csv: the name does not survive CP932 unchanged; rename the file\n");
}

TEST(YubinImportAndBuild, SmallFileEndToEnd) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", KenRow("0600000", "ｻｯﾎﾟﾛｼ", "ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", "以下に掲載がない場合") +
                               KenRow("0640941", "ｻｯﾎﾟﾛｼ", "ｱｻﾋｶﾞｵｶ", "旭ケ丘"));
  Outcome import = Yubin(dir, "import KEN_ALL.CSV");
  ASSERT_EQ(import.status, 0) << import.err;
  EXPECT_TRUE(dir.Exists("ALL_ZIP.TXT"));
  Outcome build = Yubin(dir, "build");
  EXPECT_EQ(build.status, 0);
  EXPECT_EQ(build.out, "");
  EXPECT_EQ(build.err, "");
  EXPECT_EQ(dir.Read("Zip_Code/N_ｻ/ｲｶ.Idx"),
            Cp932("ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ,ﾎﾂｶｲﾄﾞｳ,0600000,ｻﾂﾎﾟﾛｼ,以下に掲載がない場合") + "\n");
  EXPECT_EQ(dir.Read("Zip_Code/N_ｻ/ｱｻ.Idx"), Cp932("ｱｻﾋｶﾞｵｶ,ﾎﾂｶｲﾄﾞｳ,0640941,ｻﾂﾎﾟﾛｼ,旭ケ丘") + "\n");
  // The build uses the directory that is there, in whatever case.
  EXPECT_FALSE(dir.Exists("ZIP_CODE"));
}

TEST(YubinImportAndBuild, BuildWithoutAMasterFileEndsWithStatusMinusOne) {
  TempDir dir;
  Outcome build = Yubin(dir, "build");
  EXPECT_EQ(build.status, 255);
  EXPECT_EQ(build.err,
            "ERROR: READ ファイルオープンエラー\n"
            "yubin build: cannot open ALL_ZIP.TXT: No such file or directory\n");
}

TEST(YubinImportAndBuild, BadImportNamesTheLineAndWritesNothing) {
  TempDir dir;
  dir.Write("in.csv", KenRow("0600000", "ｻｯﾎﾟﾛｼ", "ｲｶ", "以下") + "1,2\r\n");
  Outcome run = Yubin(dir, "import in.csv OUT.TXT");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "yubin import: in.csv line 2: 2 fields where 15 belong\n");
  EXPECT_FALSE(dir.Exists("OUT.TXT"));
  EXPECT_FALSE(dir.Exists("OUT.TXT.tmp"));
  // The same file in a zip archive: the message names the archive, and the
  // CSV taken out of it for the import is gone again.
  ASSERT_EQ(std::system("cmake -E tar cf in.zip --format=zip in.csv"), 0);
  Outcome zipped = Yubin(dir, "import in.zip OUT.TXT");
  EXPECT_EQ(zipped.status, 1);
  EXPECT_EQ(zipped.err, "yubin import: in.zip line 2: 2 fields where 15 belong\n");
  EXPECT_FALSE(dir.Exists("OUT.TXT"));
  EXPECT_FALSE(dir.Exists("OUT.TXT.csv.tmp"));
}

TEST(YubinBuild, MissingMasterIsFatal) {
  TempDir dir;
  Outcome run = Yubin(dir, "build");
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err,
            "ERROR: READ ファイルオープンエラー\n"
            "yubin build: cannot open ALL_ZIP.TXT: No such file or directory\n");
  EXPECT_TRUE(dir.Exists("Zip_Code"));
}

TEST(YubinBuild, UnopenableIndexFileIsFatalAfterTwoMessages) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT", "1,2,3," + Cp932("ﾎ,ｻﾂﾎﾟﾛｼ,ｲｶ") + ",7,8,9,\n");
  std::filesystem::create_directory("Zip_Code");
  dir.Write("Zip_Code/N_ｻ", "not a directory");
  Outcome run = Yubin(dir, "build");
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err,
            "ERROR: ZIP_CODE\\N_ｻ\\ｲｶ.Idx\nERROR: 50 インデックスファイルオープンエラー\n"
            "yubin build: cannot open Zip_Code/N_ｻ/ｲｶ.Idx: Not a directory\n");
}

TEST(YubinBuild, WriteOverTheFileSizeLimitCutsTheFileBackToItsLastLine) {
  TempDir dir;
  std::string master;
  for (int i = 0; i < 40; ++i) master += "1,2,3," + Cp932("ﾎ,ｻﾂﾎﾟﾛｼ,ｲｶ") + ",7,8," + Cp932("町") + ",\n";
  dir.Write("ALL_ZIP.TXT", master);
  std::filesystem::create_directories("Zip_Code/N_ｻ");
  std::string earlier = Cp932("ｲｶ,ﾎ,3,ｻﾂﾎﾟﾛｼ,町") + "\n";
  dir.Write("Zip_Code/N_ｻ/ｲｶ.Idx", earlier);
  // A limit of one block (512 or 1024 bytes, as the shell counts): the
  // write falls short, then fails with EFBIG, rather than ending the
  // program by its signal.
  Outcome run = Yubin(dir, "build", "ulimit -f 1; ");
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err,
            "ERROR: Write インデックスファイルエラー\n"
            "yubin build: cannot write Zip_Code/N_ｻ/ｲｶ.Idx: File too large\n");
  EXPECT_EQ(dir.Read("Zip_Code/N_ｻ/ｲｶ.Idx"), earlier);
}

// A named pipe in place of a data file is one that cannot be opened, and
// never holds a program up.
TEST(YubinImportAndBuild, DataFilesThatAreNoRegularFilesCannotBeOpened) {
  TempDir dir;
  const std::string timeLimit = "timeout 20 ";
  ASSERT_EQ(mkfifo("ALL_ZIP.TXT", 0666), 0);
  Outcome master = Yubin(dir, "build", timeLimit);
  EXPECT_EQ(master.status, 255);
  EXPECT_EQ(master.err,
            "ERROR: READ ファイルオープンエラー\n"
            "yubin build: cannot open ALL_ZIP.TXT: Invalid argument\n");

  std::filesystem::remove("ALL_ZIP.TXT");
  dir.Write("ALL_ZIP.TXT", "1,2,3," + Cp932("ﾎ,ｻﾂﾎﾟﾛｼ,ｲｶ") + ",7,8,9,\n");
  std::filesystem::create_directories("Zip_Code/N_ｻ");
  ASSERT_EQ(mkfifo("Zip_Code/N_ｻ/ｲｶ.Idx", 0666), 0);
  Outcome index = Yubin(dir, "build", timeLimit);
  EXPECT_EQ(index.status, 255);
  EXPECT_EQ(index.err,
            "ERROR: ZIP_CODE\\N_ｻ\\ｲｶ.Idx\nERROR: 50 インデックスファイルオープンエラー\n"
            "yubin build: cannot open Zip_Code/N_ｻ/ｲｶ.Idx: Invalid argument\n");

  ASSERT_EQ(mkfifo("in.csv", 0666), 0);
  Outcome import = Yubin(dir, "import in.csv", timeLimit);
  EXPECT_EQ(import.status, 1);
  EXPECT_EQ(import.err, "yubin import: cannot open in.csv: Invalid argument\n");
  EXPECT_EQ(dir.Read("ALL_ZIP.TXT"), "1,2,3," + Cp932("ﾎ,ｻﾂﾎﾟﾛｼ,ｲｶ") + ",7,8,9,\n");
}

TEST(YubinBuild, SkippedRecordsAreCountedOnStderr) {
  TempDir dir;
  dir.Write("ALL_ZIP.TXT",
            "1,2,3\n"
            "1,2,3," +
                Cp932("ﾎ,ｻﾂﾎﾟﾛｼ,ｲｶ") + ",7,8,9,\n");
  Outcome run = Yubin(dir, "build");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "yubin build: 1 malformed records skipped (fewer than nine commas)\n");
  EXPECT_TRUE(dir.Exists("Zip_Code/N_ｻ/ｲｶ.Idx"));
}

// The whole bundled data, imported from its archive as shipped: every
// record lands in one line of the index.
TEST(YubinImportAndBuild, BundledDataEndToEnd) {
  TempDir dir;
  const char* source = std::getenv("YUBIN_SOURCE_DIR");
  std::string zip = std::string(source ? source : ".") + "/data/ken_all.zip";
  Outcome import = Yubin(dir, "import '" + zip + "'");
  ASSERT_EQ(import.status, 0) << import.err;
  EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT.csv.tmp"));
  EXPECT_EQ(import.out,
            "CP932 edition: 124825 lines read, 124511 records written; "
            "208 split towns joined from 522 rows\n");
  Outcome build = Yubin(dir, "build");
  ASSERT_EQ(build.status, 0) << build.err;
  EXPECT_EQ(build.err, "");
  long lines = 0, files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator("Zip_Code")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    std::string text = dir.Read(entry.path().string());
    for (char c : text) lines += c == '\n';
  }
  EXPECT_EQ(lines, 124511);
  EXPECT_GT(files, 17000);
  // One-letter towns such as 江 (ｴ) have files of their own, named by the
  // letter alone.
  EXPECT_NE(dir.Read("Zip_Code/N_ｼ/ｴ.Idx").find(Cp932(",江\n")), std::string::npos);
}
