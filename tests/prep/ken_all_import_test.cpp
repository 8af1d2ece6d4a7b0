#include "prep/import/ken_all_import.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>  // std::getenv, std::system
#include <map>
#include <sstream>
#include <vector>

#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

using platform::text::Cp932;
using prep::import::Edition;
using prep::import::ImportKenAll;
using prep::import::ImportReport;

namespace {

// A quoted KEN_ALL row of the CP932 edition.
std::string KenRow(const std::string& code, const std::string& reading, const std::string& kanji,
                   const std::string& end = "\r\n") {
  return "01101,\"060  \",\"" + code + "\",\"" + Cp932("ﾎｯｶｲﾄﾞｳ") + "\",\"" + Cp932("ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ") + "\",\"" +
         Cp932(reading) + "\",\"" + Cp932("北海道") + "\",\"" + Cp932("札幌市中央区") + "\",\"" + Cp932(kanji) +
         "\",0,0,1,0,0,0" + end;
}

// The master line that KenRow's row becomes.
std::string MasterRow(const std::string& code, const std::string& reading, const std::string& kanji,
                      const std::string& end = "\r\n") {
  return "01101,060  ," + code + "," + Cp932("ﾎﾂｶｲﾄﾞｳ") + "," + Cp932("ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ") + "," + Cp932(reading) + "," +
         Cp932("北海道") + "," + Cp932("札幌市中央区") + "," + Cp932(kanji) + ",0,0,1,0,0,0" + end;
}

int Import(ImportReport& report, std::string& error) {
  return ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, error);
}

}  // namespace

TEST(ImportKenAll, WritesMasterLinesWithoutQuotes) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV",
            KenRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭ケ丘") + KenRow("0600042", "ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)", "大通西（１～１９丁目）"));
  ImportReport report;
  std::string error;
  ASSERT_EQ(Import(report, error), 0) << error;
  EXPECT_EQ(dir.Read("ALL_ZIP.TXT"), MasterRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭ケ丘") +
                                         MasterRow("0600042", "ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁﾖｳﾒ)", "大通西（１～１９丁目）"));
  EXPECT_EQ(report.edition, Edition::kCp932);
  EXPECT_EQ(report.linesRead, 2);
  EXPECT_EQ(report.recordsWritten, 2);
  EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT.tmp"));
}

TEST(ImportKenAll, JoinsSplitTownsAndKeepsLineEnds) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", KenRow("0882686", "ﾏﾀｵﾁ(1629-1､", "俣落（１６２９－１、", "\n") +
                               KenRow("0882686", "2253-63)", "２２５３－６３）", "\n") +
                               KenRow("0600000", "ｲｶ", "以下", ""));
  ImportReport report;
  std::string error;
  ASSERT_EQ(Import(report, error), 0) << error;
  EXPECT_EQ(dir.Read("ALL_ZIP.TXT"),
            MasterRow("0882686", "ﾏﾀｵﾁ(1629-1､2253-63)", "俣落（１６２９－１、２２５３－６３）", "\n") +
                MasterRow("0600000", "ｲｶ", "以下", ""));
  EXPECT_EQ(report.townsJoined, 1);
  EXPECT_EQ(report.rowsJoined, 2);
  EXPECT_EQ(report.recordsWritten, 2);
}

TEST(ImportKenAll, ReadsTheUtf8Edition) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV",
            "\xEF\xBB\xBF"
            "01101,\"060  \",\"0600042\",\"ホッカイドウ\",\"サッポロシチュウオウク\","
            "\"オオドオリニシ（１−１９チョウメ）\",\"北海道\",\"札幌市中央区\",\"大通西（１〜１９丁目）\","
            "1,0,1,0,0,0\r\n");
  ImportReport report;
  std::string error;
  ASSERT_EQ(Import(report, error), 0) << error;
  EXPECT_EQ(report.edition, Edition::kUtf8);
  EXPECT_EQ(dir.Read("ALL_ZIP.TXT"),
            "01101,060  ,0600042," + Cp932("ﾎﾂｶｲﾄﾞｳ,ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ,ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁﾖｳﾒ),北海道,札幌市中央区,大通西（１") +
                "\x81\x60" + Cp932("１９丁目）") + ",1,0,1,0,0,0\r\n");
}

// Bad input stops the import with the line named; no output, no temporary
// file, and an older master file stays as it was.
TEST(ImportKenAll, BadInputNamesTheLineAndLeavesTheOldMaster) {
  struct Case {
    std::string input;
    std::string error;
  };
  std::string good = KenRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭ケ丘");
  std::vector<Case> cases = {
      {good + "1,2,3\r\n", "KEN_ALL.CSV line 2: 3 fields where 15 belong"},
      {good + good + "01101,\"060  ,1\r\n", "KEN_ALL.CSV line 3: field 2 has no closing quote"},
      {good + "01101,\"060  \",\"0640941\",\"a\",\"b\",\"c\",\"d\",\"e\",\"" + Cp932("旭") + "\x81\",0,0,1,0,0,0\r\n",
       "KEN_ALL.CSV line 2: field 9 holds bytes that form no CP932 character"},
      {good + KenRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭").replace(10, 1, "\xFD"),
       "KEN_ALL.CSV line 2: field 2 holds bytes that form no CP932 character"},
      {good + std::string("0\0,", 3) + "\r\n", "KEN_ALL.CSV line 2: holds a control byte"},
      {"", "KEN_ALL.CSV line 1: the file is empty"},
      // Only a hand-made file puts a path separator into an index key.
      {good + KenRow("0640941", "ｱ/ｶ", "旭"),
       "KEN_ALL.CSV line 2: field 6 has \"/\" in its first two bytes, which would split the "
       "index file's path"},
      // What is not postal data, in either edition: a code that is not seven
      // digits (a quote inside), a row of nothing, a local government code
      // cut short, a town or city without its name.
      {good + KenRow("06\"\"00000", "ｱｻﾋｶﾞｵｶ", "旭ケ丘"),
       "KEN_ALL.CSV line 2: field 3 is no postal code of seven digits"},
      {good + ",,,,,,,,,,,,,,\r\n", "KEN_ALL.CSV line 2: field 1 is no local government code of five digits"},
      {good + KenRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭ケ丘").substr(1),
       "KEN_ALL.CSV line 2: field 1 is no local government code of five digits"},
      {good + KenRow("0640941", "", "旭ケ丘"), "KEN_ALL.CSV line 2: field 6 is empty where the town's reading belongs"},
      {"\xEF\xBB\xBF"
       "01101,\"060  \",\"060004\",\"ホッカイドウ\",\"サッポロシ\",\"ミナミ\",\"北海道\","
       "\"札幌市\",\"南\",0,0,1,0,0,0\r\n",
       "KEN_ALL.CSV line 1: field 3 is no postal code of seven digits"},
      {"\xEF\xBB\xBF"
       "01101,\"060  \",\"0600042\",\"ホッカイドウ\",\"サッポロシ\",\"ミナミ\",\"北海道\","
       "\"\",\"南\",0,0,1,0,0,0\r\n",
       "KEN_ALL.CSV line 1: field 8 is empty where the city belongs"},
      // A file without line ends is refused at its first 64 KiB.
      {good + std::string(100000, 'x'), "KEN_ALL.CSV line 2: is longer than 65536 bytes"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("KEN_ALL.CSV", c.input);
    dir.Write("ALL_ZIP.TXT", "old");
    ImportReport report;
    std::string error;
    EXPECT_EQ(Import(report, error), -1);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(dir.Read("ALL_ZIP.TXT"), "old");
    EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT.tmp"));
  }
}

TEST(ImportKenAll, FailedWriteLeavesTheOldMaster) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", KenRow("0640941", "ｱｻﾋｶﾞｵｶ", "旭ケ丘"));
  dir.Write("ALL_ZIP.TXT", "old");
  platform::ScopedOverride restore(platform::files::Sys());
  platform::files::Sys().write = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  ImportReport report;
  std::string error;
  EXPECT_EQ(Import(report, error), -1);
  EXPECT_EQ(error.rfind("cannot write ALL_ZIP.TXT:", 0), 0u) << error;
  EXPECT_EQ(dir.Read("ALL_ZIP.TXT"), "old");
  EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT.tmp"));
}

TEST(ImportKenAll, MissingInput) {
  TempDir dir;
  // What an import killed part-way left goes, whatever the next one does.
  dir.Write("ALL_ZIP.TXT.tmp", "half a master file");
  ImportReport report;
  std::string error;
  EXPECT_EQ(Import(report, error), -1);
  EXPECT_EQ(error.rfind("cannot open KEN_ALL.CSV", 0), 0u) << error;
  EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT"));
  EXPECT_FALSE(dir.Exists("ALL_ZIP.TXT.tmp"));
}

// The postal authority's own files, both editions, imported once for the
// cases below.
class BundledData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const char* source = std::getenv("YUBIN_SOURCE_DIR");
    std::string data = std::string(source ? source : ".") + "/data/";
    for (const char* zip : {"ken_all.zip", "utf_ken_all.zip"}) {
      std::string command = "cmake -E tar xf '" + data + zip + "'";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::string error;
    ASSERT_EQ(ImportKenAll("KEN_ALL.CSV", "CP932.TXT", cp932Report_, error), 0) << error;
    ASSERT_EQ(ImportKenAll("utf_ken_all.csv", "UTF8.TXT", utf8Report_, error), 0) << error;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // The master lines of one import, by postal code, in file order.
  static std::map<std::string, std::vector<std::string>> ByCode(const std::string& name) {
    std::map<std::string, std::vector<std::string>> lines;
    std::istringstream in(dir_->Read(name));
    std::string line;
    while (std::getline(in, line)) {
      size_t a = line.find(',');
      size_t b = line.find(',', a + 1);
      size_t c = line.find(',', b + 1);
      lines[line.substr(b + 1, c - b - 1)].push_back(line);
    }
    return lines;
  }

  static std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) fields.push_back(field);
    return fields;
  }

  static TempDir* dir_;
  static ImportReport cp932Report_;
  static ImportReport utf8Report_;
};

TempDir* BundledData::dir_ = nullptr;
ImportReport BundledData::cp932Report_;
ImportReport BundledData::utf8Report_;

TEST_F(BundledData, Cp932EditionCounts) {
  EXPECT_EQ(cp932Report_.edition, Edition::kCp932);
  EXPECT_EQ(cp932Report_.linesRead, 124825);
  EXPECT_EQ(cp932Report_.townsJoined, 208);
  EXPECT_EQ(cp932Report_.rowsJoined, 522);  // 314 rows fewer
  EXPECT_EQ(cp932Report_.recordsWritten, 124825 - 314);
  EXPECT_EQ(cp932Report_.townsLeftOpen, 0);
}

TEST_F(BundledData, Utf8EditionCounts) {
  EXPECT_EQ(utf8Report_.edition, Edition::kUtf8);
  EXPECT_EQ(utf8Report_.linesRead, 124511);
  EXPECT_EQ(utf8Report_.recordsWritten, 124511);
  EXPECT_EQ(utf8Report_.townsJoined, 0);
}

TEST_F(BundledData, ReadingsHaveNoSmallKana) {
  for (const char* name : {"CP932.TXT", "UTF8.TXT"}) {
    std::istringstream in(dir_->Read(name));
    std::string line;
    long withSmallKana = 0;
    while (std::getline(in, line)) {
      std::vector<std::string> fields = Fields(line);
      ASSERT_GE(fields.size(), 9u) << line;
      for (size_t i = 3; i <= 5; ++i)
        for (char c : fields[i])
          if (static_cast<unsigned char>(c) >= 0xA7 && static_cast<unsigned char>(c) <= 0xAF) ++withSmallKana;
    }
    EXPECT_EQ(withSmallKana, 0) << name;
  }
}

TEST_F(BundledData, SplitTownsAreJoined) {
  auto lines = ByCode("CP932.TXT");
  // Five rows of one town and a second town under the same code.
  ASSERT_EQ(lines["9218046"].size(), 2u);
  EXPECT_EQ(lines["9218046"][0],
            "17201,92181,9218046," +
                Cp932("ｲｼｶﾜｹﾝ,ｶﾅｻﾞﾜｼ,"
                      "ｵｵｸﾜﾏﾁ(ｱ､ｲ､ｲ､ｳ､ｳｴﾉ､ｵ､ｵｵﾂ､ｶﾈﾂｷﾔﾏ､ｶﾐｶﾜﾗ､ｶﾐﾈｺｼﾀ､ｸ､ｹ､ｺﾞｼﾖｶﾞﾀﾞﾆ､ｺﾃﾞﾗﾔﾏ､ｼ､"
                      "ｼﾓｳｴﾉ､ｼﾓﾆｼｶﾞｹ､ﾀﾞｲﾗ､ﾁ､ﾂｵﾂ､ﾂﾍｲ､ﾃ､ﾄ､ﾅｶｳｴﾉ､ﾅｶｵﾔﾏ､ﾅｶﾀﾞｲﾗ､ﾅｶﾉｵｵﾋﾗ､ﾆｼﾉﾔﾏ､ﾈｺﾉｼﾀｲ､"
                      "ﾉ､ﾊ､ﾋﾗｷ､ﾎｳｼﾔﾏ､ﾎﾞｳﾔﾏ､ﾏ､ﾏｽｶﾜﾌﾞﾁ､ﾑ､ﾓﾄｽｴ､ﾓﾄﾜｸﾅﾐｺｳ､ﾔ､ﾘ､ﾙ､ﾚｵﾂ､ﾚｺｳ､ﾛｵﾂ､ﾛｺｳ､ﾜ),"
                      "石川県,金沢市,"
                      "大桑町（ア、イ、ヰ、ウ、上野、ヲ、オ乙、鐘搗山、上川原、上猫下、ク、ケ、御所谷、"
                      "小寺山、シ、下上野、下西欠、平、チ、ツ乙、ツ丙、テ、ト、中上野、中尾山、中平、"
                      "中ノ大平、西ノ山、猫シタイ、ノ、ハ、開、法師山、坊山、マ、鱒川淵、ム、元末、"
                      "元涌波庚、ヤ、リ、ル、レ乙、レ甲、ロ乙、ロ甲、和）") +
                ",1,0,0,1,0,0\r");
  EXPECT_EQ(Fields(lines["9218046"][1])[8], Cp932("三小牛町（ヘ）"));
  // Six rows, one town; the UTF-8 edition has it whole and agrees.
  ASSERT_EQ(lines["0882686"].size(), 1u);
  std::vector<std::string> fields = Fields(lines["0882686"][0]);
  EXPECT_EQ(fields[5], Cp932("ﾏﾀｵﾁ(1629-1､1653-3､1684-5､1886-2､1893､1896-2､1896-3､1906-8､"
                             "1932-2､1936､1936-2､1951-2､1956-2､1967-2､1980-2､1997-3､2000-2､"
                             "2000-8､2003､2015-4､2023-2､2038-2､2253-2､2253-5､2253-21､2253-24､"
                             "2253-35､2253-63)"));
  EXPECT_EQ(fields[8], Cp932("俣落（１６２９－１、１６５３－３、１６８４－５、１８８６－２、"
                             "１８９３、１８９６－２、１８９６－３、１９０６－８、１９３２－２、"
                             "１９３６、１９３６－２、１９５１－２、１９５６－２、１９６７－２、"
                             "１９８０－２、１９９７－３、２０００－２、２０００－８、２００３、"
                             "２０１５－４、２０２３－２、２０３８－２、２２５３－２、２２５３－５、"
                             "２２５３－２１、２２５３－２４、２２５３－３５、２２５３－６３）"));
  EXPECT_EQ(ByCode("UTF8.TXT")["0882686"], lines["0882686"]);
}

TEST_F(BundledData, BothEditionsGiveTheSameLinesForNearlyEveryCode) {
  auto cp932 = ByCode("CP932.TXT");
  auto utf8 = ByCode("UTF8.TXT");
  long shared = 0, same = 0;
  for (const auto& [code, lines] : cp932) {
    auto it = utf8.find(code);
    if (it == utf8.end()) continue;
    ++shared;
    if (it->second == lines) ++same;
  }
  EXPECT_GT(shared, 120000);
  EXPECT_GE(same * 100, shared * 99) << same << " of " << shared;
  // The wave dash and the minus sign of the kanji text land on one set of
  // bytes in both editions (0x8160, 0x817C).
  EXPECT_EQ(utf8["0600042"], cp932["0600042"]);
  EXPECT_NE(utf8["0600042"][0].find("\x81\x60"), std::string::npos);
}

TEST_F(BundledData, EveryJoinedTownMatchesTheUtf8Edition) {
  // The codes that came in on more rows than they went out are the joined
  // ones; the UTF-8 edition holds those towns whole, as the authority joined
  // them, so each must read the same there.
  std::map<std::string, long> rowsIn;
  std::istringstream in(dir_->Read("KEN_ALL.CSV"));
  for (std::string row; std::getline(in, row);) {
    std::vector<std::string> fields = Fields(row);
    ASSERT_GE(fields.size(), 3u) << row;
    ++rowsIn[fields[2]];  // "0600000", quotes included
  }
  auto cp932 = ByCode("CP932.TXT");
  auto utf8 = ByCode("UTF8.TXT");
  long joinedCodes = 0;
  for (const auto& [code, lines] : cp932) {
    if (rowsIn["\"" + code + "\""] <= static_cast<long>(lines.size())) continue;
    ++joinedCodes;
    EXPECT_EQ(utf8[code], lines) << code;
  }
  EXPECT_EQ(joinedCodes, 208);
}
