// yubin lookup, run as a user runs it, on small hand-made postal files.
#include <gtest/gtest.h>
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

// Runs "yubin lookup <args>" in the current (temporary) directory after
// the shell commands in `before`.
Outcome Lookup(const TempDir& dir, const std::string& args, const std::string& before = "") {
  const char* binary = std::getenv("YUBIN_BINARY_DIR");
  std::string yubin = std::string(binary ? binary : "build") + "/tools/yubin/yubin";
  std::string command = before + "'" + yubin + "' lookup " + args + " >out 2>err";
  int status = std::system(command.c_str());
  Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read("out"), dir.Read("err")};
  std::filesystem::remove(dir.path() + "/out");
  std::filesystem::remove(dir.path() + "/err");
  return run;
}

std::string AreaRow(const std::string& code, const std::string& town) {
  return "01101,\"060  \",\"" + code + "\",\"" + Cp932("ﾎｯｶｲﾄﾞｳ") + "\",\"" + Cp932("ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ") + "\",\"" +
         Cp932("ﾀﾞﾐｰ") + "\",\"" + Cp932("北海道") + "\",\"" + Cp932("札幌市中央区") + "\",\"" + Cp932(town) +
         "\",0,0,1,0,0,0\r\n";
}

// KEN_ALL.CSV and JIGYOSYO.CSV in `folder` of the directory.
void WriteData(const TempDir& dir, const std::string& folder) {
  std::filesystem::create_directories(dir.path() + "/" + folder);
  dir.Write(folder + "/KEN_ALL.CSV", AreaRow("0600000", "以下に掲載がない場合") +
                                         AreaRow("0600061", "南一条西（１～１９丁目）") +
                                         AreaRow("0640801", "南一条西（２０～２８丁目）"));
  dir.Write(folder + "/JIGYOSYO.CSV", "01101,\"ﾃｽﾄ\",\"" + Cp932("株式会社　見本商事") + "\",\"" + Cp932("北海道") +
                                          "\",\"" + Cp932("札幌市中央区") + "\",\"" + Cp932("南一条西") + "\",\"" +
                                          Cp932("５丁目３－２") + "\",\"0608799\",\"060  \",\"" + Cp932("札幌中央") +
                                          "\",0,0,0\r\n");
}

TEST(YubinLookup, PrintsTheBestEveryCandidateOrJsonWithItsStatus) {
  TempDir dir;
  WriteData(dir, ".");
  Outcome best = Lookup(dir, "'札幌市中央区南1条西5-3-2'");
  EXPECT_EQ(best.status, 0) << best.err;
  EXPECT_EQ(best.out, "0600061 北海道 札幌市中央区 南一条西（１～１９丁目）\n");

  Outcome all = Lookup(dir, "--all 札幌市中央区南一条西5-3-2 札幌市中央区南一条西");
  EXPECT_EQ(all.out,
            "札幌市中央区南一条西5-3-2\n"
            "exact  0600061 北海道 札幌市中央区 南一条西（１～１９丁目）\n"
            "office 0608799 北海道 札幌市中央区 南一条西５丁目３－２ 株式会社　見本商事\n"
            "\n"
            "札幌市中央区南一条西\n"
            "town   0600061 北海道 札幌市中央区 南一条西（１～１９丁目）\n"
            "town   0640801 北海道 札幌市中央区 南一条西（２０～２８丁目）\n");

  Outcome json = Lookup(dir, "--json 札幌市中央区どこか 見本商事 存在しない市");
  EXPECT_EQ(json.status, 1) << "one address found nothing";
  EXPECT_EQ(json.out,
            "[{\"address\":\"札幌市中央区どこか\",\"candidates\":[{\"code\":\"0600000\",\"prefecture\":\"北海道\","
            "\"city\":\"札幌市中央区\",\"town\":\"以下に掲載がない場合\",\"match\":\"city\"}]},"
            "{\"address\":\"見本商事\",\"candidates\":[{\"code\":\"0608799\",\"prefecture\":\"北海道\","
            "\"city\":\"札幌市中央区\",\"town\":\"南一条西５丁目３－２\",\"office\":\"株式会社　見本商事\","
            "\"match\":\"office\"}]},"
            "{\"address\":\"存在しない市\",\"candidates\":[]}]\n");
  EXPECT_NE(json.err.find("存在しない市: nothing found"), std::string::npos) << json.err;
}

TEST(YubinLookup, BadAddressesAndDataAreStatusTwoWithAMessage) {
  TempDir dir;
  WriteData(dir, ".");
  struct Case {
    std::string args, before, message;
  } cases[] = {
      {"''", "", "address 1 is empty"},
      {"札幌市 \"$(printf '\\001\\377')\"", "", "address 2 is not text"},
      {"", "", "no address given"},
      {"--column 0", "", "--column takes"},
      {"--data nowhere 札幌市", "", "nowhere holds no KEN_ALL.CSV"},
      {"--data bad 札幌市", "mkdir bad && printf 'a\\0b' > bad/KEN_ALL.CSV; ", "bad/KEN_ALL.CSV: holds NUL bytes"},
      {"--data short 札幌市", "mkdir short && echo 1,2,3 > short/KEN_ALL.CSV; ", "short/KEN_ALL.CSV"},
  };
  for (const Case& c : cases) {
    Outcome run = Lookup(dir, c.args, c.before);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.args;
  }
}

TEST(YubinLookup, FindsTheDataHereInDataDirOrInTheWorkspace) {
  TempDir dir;
  WriteData(dir, "xdg/yubin/workspace-1");
  dir.Write("xdg/yubin/workspace-1/.prepared", "data time 1\n");
  std::filesystem::create_directory_symlink("workspace-1", dir.path() + "/xdg/yubin/current");
  std::string xdg = "XDG_DATA_HOME='" + dir.path() + "/xdg' ";
  EXPECT_EQ(Lookup(dir, "札幌市中央区南一条西22", xdg).out, "0640801 北海道 札幌市中央区 南一条西（２０～２８丁目）\n");
  EXPECT_EQ(Lookup(dir, "--data xdg/yubin/workspace-1 札幌市中央区南一条西22").status, 0);
  Outcome none = Lookup(dir, "札幌市", "XDG_DATA_HOME='" + dir.path() + "/empty' ");
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("no postal data"), std::string::npos) << none.err;
}

// A list in, the same list out with two columns, in its own encoding; a
// row that cannot be read is copied as it stands and named by its line.
TEST(YubinLookup, ListsKeepEveryRowTheirOrderAndTheirEncoding) {
  TempDir dir;
  WriteData(dir, ".");
  const std::string list =
      "id,address\r\n"
      "1,札幌市中央区南一条西5-3-2\r\n"
      "2\r\n"
      "3,\"札幌市中央区南一条西, 25丁目\"\r\n"
      "4,どこにもない\r\n"
      "5,\"quote left open\r\n"
      "6,札幌市中央区南一条西\r\n";
  const std::string expected =
      "id,address,郵便番号,住所\r\n"
      "1,札幌市中央区南一条西5-3-2,0600061,北海道札幌市中央区南一条西（１～１９丁目）\r\n"
      "2\r\n"
      "3,\"札幌市中央区南一条西, 25丁目\",0640801,北海道札幌市中央区南一条西（２０～２８丁目）\r\n"
      "4,どこにもない,,\r\n"
      "5,\"quote left open\r\n"
      "6,札幌市中央区南一条西,0600061,北海道札幌市中央区南一条西（１～１９丁目）\r\n";
  dir.Write("list.csv", list);
  dir.Write("list932.csv", Cp932(list));
  Outcome utf8 = Lookup(dir, "--csv list.csv --column 2 --header");
  EXPECT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_EQ(utf8.out, expected);
  EXPECT_EQ(utf8.err,
            "yubin lookup: line 3: no column 2; copied unchanged\n"
            "yubin lookup: line 6: a quote is left open; copied unchanged\n"
            "yubin lookup: 6 rows: found exact 2, town only 1, city only 0, not found 1, unreadable 2\n");
  Outcome cp932 = Lookup(dir, "--column 2 --header < list932.csv");
  EXPECT_EQ(cp932.out, Cp932(expected));
  EXPECT_EQ(cp932.err, utf8.err);
  Outcome missing = Lookup(dir, "--csv nolist.csv --column 2");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot open nolist.csv"), std::string::npos) << missing.err;
}

}  // namespace
