// The written-address lookup: the data's own hard cases on the bundled
// postal data, a generated set of written addresses, both editions and
// broken files on small hand-made ones.
#include <sys/stat.h>  // mkfifo

#include <cstdio>  // std::printf
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/text/cp932.h"
#include "search/address/address_key.h"
#include "search/address/address_table.h"
#include "search/address/data_file.h"
#include "tests/support/temp_dir.h"
#include "written_addresses.h"

namespace address {
namespace {

const char* KindName(MatchKind kind) {
  return kind == MatchKind::kExact ? "exact" : kind == MatchKind::kTown ? "town" : "city";
}

// The codes and kinds of the candidates, "0600061 exact, 0640801 town".
std::string Codes(const std::vector<Candidate>& candidates) {
  std::string text;
  for (const Candidate& c : candidates) {
    if (!text.empty()) text += ", ";
    text += c.code + " " + KindName(c.kind) + (c.office.empty() ? "" : " office");
  }
  return text;
}

// The bundled data, taken out of its zip files once and loaded for every
// case below.
class BundledData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const char* source = std::getenv("YUBIN_SOURCE_DIR");
    std::string data = std::string(source ? source : ".") + "/data/";
    for (const char* zip : {"ken_all.zip", "jigyosyo.zip", "utf_ken_all.zip"}) {
      std::string command = "cmake -E tar xf '" + data + zip + "'";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    table_ = new AddressTable;
    std::string bytes, error;
    LoadReport areas, offices;
    ASSERT_TRUE(ReadDataFile(dir_->path() + "/KEN_ALL.CSV", bytes, error)) << error;
    ASSERT_TRUE(table_->AddAreas(bytes, areas, error)) << error;
    ASSERT_TRUE(ReadDataFile(dir_->path() + "/JIGYOSYO.CSV", bytes, error)) << error;
    ASSERT_TRUE(table_->AddOffices(bytes, offices, error)) << error;
    EXPECT_EQ(areas.skipped + offices.skipped, 0);
  }
  static void TearDownTestSuite() {
    delete table_;
    delete dir_;
  }

  // Each written address against the codes of its candidates.
  static void Expect(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [written, codes] : cases) EXPECT_EQ(Codes(table_->LookupUtf8(written)), codes) << written;
  }

  static TempDir* dir_;
  static AddressTable* table_;
};

TempDir* BundledData::dir_ = nullptr;
AddressTable* BundledData::table_ = nullptr;

TEST_F(BundledData, BracketedRangesPickTheRowThatHoldsTheWrittenNumber) {
  Expect({
      {"北海道札幌市中央区南一条西5丁目3番2号", "0600061 exact"},  // （１～１９丁目）
      {"札幌市中央区南一条西22-1", "0640801 exact"},               // （２０～２８丁目）
      {"帯広市自由が丘2丁目5", "0800848 exact"},                   // （１、２丁目）
      {"帯広市自由が丘3丁目5", "0802476 exact"},                   // （３～７丁目）
      {"札幌市南区常盤131番地", "0050865 exact"},                  // （１～１３１番地）
      {"札幌市南区常盤132番地", "0050863 exact"},                  // （その他）
      {"高知県高岡郡四万十町興津1699番", "7860045 exact"},         // （１～１６９９番）
      {"高知県高岡郡四万十町興津1700番", "7860046 exact"},
  });
}

TEST_F(BundledData, ChiwariInBracketsAndInListsWithoutThem) {
  Expect({
      {"岩手県宮古市川井第10地割5番地", "0282402 exact"},  // （第９地割～第１１地割）
      {"岩手県宮古市川井第12地割", "0282302 exact"},       // （その他）
      {"和賀郡西和賀町穴明23地割", "0295503 exact"},       // 穴明２２地割、穴明２３地割
      {"西和賀町越中畑65地割", "0295523 exact"},           // 越中畑６４地割～越中畑６６地割
  });
}

TEST_F(BundledData, FloorsOfABigBuildingByItsNameAlsoAfterTheBlock) {
  Expect({
      {"宮城県仙台市青葉区中央アエル20階", "9806120 exact"},
      {"仙台市青葉区中央1-3-1 アエル 20F", "9806120 exact"},
      {"仙台市青葉区中央1丁目3番1号アエル地下1階", "9806190 exact"},  // （地階・階層不明）
      {"仙台市青葉区中央アエル", "9806190 exact"},
      // （次のビルを除く）, and after it the offices at that block.
      {"仙台市青葉区中央1丁目3-1", "9800021 exact, 9806161 exact office"},
  });
}

TEST_F(BundledData, CountyTownsWithOrWithoutTheirCounty) {
  Expect({
      {"北海道厚岸郡浜中町姉別", "0881646 exact"},
      {"浜中町姉別", "0881646 exact"},
      {"はまなかちょう あねべつ", "0881646 exact"},
  });
}

TEST_F(BundledData, OneTownNameInSeveralWardsNeedsTheWard) {
  Expect({
      {"札幌市北七条西5丁目", "0600007 town, 0600807 town"},
      {"札幌市北区北七条西5丁目", "0600807 exact"},
      {"札幌市中央区北七条西5丁目", "0600007 exact"},
  });
}

TEST_F(BundledData, TownTheCityDoesNotListTakesTheCitysCode) {
  Expect({
      {"札幌市中央区どこにもない町1-2", "0600000 city"},
      {"北海道札幌市中央区", "0600000 city"},
  });
}

TEST_F(BundledData, OfficesByNameAndAfterTheAreaCodeOfTheirAddress) {
  Expect({
      {"株式会社 日本経済新聞社 札幌支社", "0608621 exact office"},
      {"日本経済新聞社札幌支社", "0608621 exact office"},
  });
  std::vector<Candidate> atAddress = table_->LookupUtf8("札幌市中央区北一条西6丁目1-2");
  ASSERT_GE(atAddress.size(), 2u);
  EXPECT_EQ(atAddress[0].code, "0600001");
  EXPECT_TRUE(atAddress[0].office.empty());
  EXPECT_EQ(Codes({atAddress[1]}), "0608621 exact office");
  EXPECT_EQ(platform::text::ToUtf8(atAddress[1].office), "株式会社　日本経済新聞社　札幌支社");
}

TEST_F(BundledData, TheWaysPeopleWriteOneAddress) {
  for (const char* written : {
           "北海道札幌市中央区南1条西5-3-2",                     // digits in the name
           "札幌市中央区南一条西五丁目三番二号",                 // kanji numerals
           "〒060-0061 北海道札幌市中央区南一条西５－３－２",    // mark, code, full width
           " 札幌市　中央区 南一条西 5 - 3 - 2 ",                // spaces anywhere
           "札幌市中央区南一条西5-3-2 サンプルビル 3F 301号室",  // building and room
           "ほっかいどう さっぽろし ちゅうおうく みなみ1じょうにし 5-3-2",
           "さっぽろしちゅうおうく みなみいちじょうにし ごちょうめ 3-2",  // numbers said in kana
           "ﾎｯｶｲﾄﾞｳｻｯﾎﾟﾛｼﾁｭｳｵｳｸﾐﾅﾐ1ｼﾞｮｳﾆｼ5-3-2",
       }) {
    EXPECT_EQ(Codes(table_->LookupUtf8(written)), "0600061 exact") << written;
  }
  // ケ, ヶ and が in one place name; 大字 written or not.
  Expect({
      {"札幌市中央区旭ヶ丘1丁目", "0640941 exact"},
      {"札幌市中央区旭が丘1丁目", "0640941 exact"},
      {"札幌市中央区旭ケ丘1丁目", "0640941 exact"},
      {"北海道厚岸郡浜中町大字姉別", "0881646 exact"},
      {"茨城県つくば市大字豊里の杜1-10-6", "3002648 exact"},  // つくば市 has a town 大
      {"茨城県つくば市大1-2", "3050016 exact"},
  });
  std::string cp932 = platform::text::Cp932("札幌市中央区南一条西５－３－２");
  EXPECT_EQ(Codes(table_->LookupCp932(cp932)), "0600061 exact");
}

TEST_F(BundledData, WhatTheTextCannotDecideGivesEveryRowTheGeneralFirst) {
  std::vector<Candidate> town = table_->LookupUtf8("札幌市南区常盤");
  EXPECT_EQ(Codes(town), "0050863 town, 0050865 town");
  ASSERT_FALSE(town.empty());
  EXPECT_EQ(platform::text::ToUtf8(town[0].town), "常盤（その他）");
  // A 丁目 the ranges do not hold, and no row for the rest of the town.
  Expect({{"札幌市中央区南一条西30丁目", "0600061 town, 0640801 town"}});
}

TEST_F(BundledData, TextThatNamesNoCityFindsNothing) {
  for (const char* written : {"", "   ", "北海道", "どこでもない市1-2", "\xff\xfe\x01", "0600061"})
    EXPECT_EQ(Codes(table_->LookupUtf8(written)), "") << written;
}

// Written addresses made from the data itself; each must find its own
// code as the first candidate, exactly. The share found is printed with
// every miss.
TEST_F(BundledData, GeneratedAddressesFindTheirOwnCodes) {
  std::string utf8 = dir_->Read("utf_ken_all.csv");
  ASSERT_FALSE(utf8.empty());
  std::vector<testing::WrittenAddress> cases = testing::MakeWrittenAddresses(utf8, 3000, 20261208);
  ASSERT_GE(cases.size(), 2000u);
  std::map<std::string, std::pair<int, int>> byNotation;  // found exactly, of all
  int found = 0;
  for (const testing::WrittenAddress& address : cases) {
    std::vector<Candidate> candidates = table_->LookupUtf8(address.written);
    bool exact = !candidates.empty() && candidates[0].code == address.code && candidates[0].kind == MatchKind::kExact;
    found += exact;
    auto& [hits, all] = byNotation[address.notation];
    hits += exact;
    ++all;
    if (!exact)
      ADD_FAILURE() << address.notation << ": " << address.written << " wants " << address.code << ", got "
                    << Codes(candidates);
  }
  std::printf("found exactly: %d of %zu (%.2f%%)\n", found, cases.size(), 100.0 * found / cases.size());
  for (const auto& [notation, counts] : byNotation)
    std::printf("  %-20s %d of %d\n", notation.c_str(), counts.first, counts.second);
}

// Both editions of KEN_ALL give one table, the UTF-8 one with its
// full-width readings; a town split over rows is one town; a row that is
// no row is counted, with its line, and left out.
TEST(AddressTable, BothEditionsSplitTownsAndBrokenRows) {
  auto rows = [](const std::string& first, const std::string& second) {
    return "01101,\"060  \",\"0600042\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\"," + first +
           ",\"北海道\",\"札幌市中央区\","
           "\"大通西（１～１９丁目）\",1,0,1,0,0,0\r\n"
           "not a row\r\n"
           "01101,\"064  \",\"0640820\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\"," +
           second +
           ",\"北海道\",\"札幌市中央区\","
           "\"大通西（２０～\",1,0,1,0,0,0\r\n"
           "01101,\"064  \",\"0640820\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\"," +
           second +
           ",\"北海道\",\"札幌市中央区\","
           "\"２８丁目）\",1,0,1,0,0,0\r\n";
  };
  const std::string editions[] = {
      platform::text::Cp932(rows("\"ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)\"", "\"ｵｵﾄﾞｵﾘﾆｼ(20-28ﾁｮｳﾒ)\"")),
      rows("\"オオドオリニシ（１−１９チョウメ）\"", "\"オオドオリニシ（２０−２８チョウメ）\""),
  };
  for (const std::string& edition : editions) {
    AddressTable table;
    LoadReport report;
    std::string error;
    ASSERT_TRUE(table.AddAreas(edition, report, error)) << error;
    EXPECT_EQ(table.AreaCount(), 2u);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.firstSkipped, 2);
    EXPECT_EQ(Codes(table.LookupUtf8("札幌市中央区大通西25丁目")), "0640820 exact");
    EXPECT_EQ(Codes(table.LookupUtf8("さっぽろしちゅうおうく おおどおりにし 25")), "0640820 exact");
    std::vector<Candidate> found = table.LookupUtf8("札幌市中央区大通西3");
    ASSERT_EQ(Codes(found), "0600042 exact");
    EXPECT_EQ(platform::text::ToUtf8(found[0].town), "大通西（１～１９丁目）");
  }
  // A bracket that never closes joins at most thirty rows: a hostile file
  // costs one pass, and the rows after them are towns again.
  std::string open;
  for (int i = 0; i < 40; ++i)
    open +=
        "01101,\"060  \",\"0600042\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼ\",\"ｵｵﾄﾞｵﾘ\",\"北海道\",\"札幌市\",\"大通（\",1,0,1,0,0,0\n";
  AddressTable table;
  LoadReport report;
  std::string error;
  ASSERT_TRUE(table.AddAreas(platform::text::Cp932(open), report, error)) << error;
  EXPECT_EQ(table.AreaCount(), 2u);
  EXPECT_FALSE(table.AddAreas("a,b,c\n", report, error));
  EXPECT_NE(error.find("KEN_ALL"), std::string::npos) << error;
  EXPECT_FALSE(table.AddOffices("", report, error));
  EXPECT_NE(error.find("JIGYOSYO"), std::string::npos) << error;
}

TEST(ReadDataFile, ReadsAFileAndRefusesWhatIsNoDataFile) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", "01101,\"060  \"\n");
  dir.Write("binary", std::string("PK\x03\x04\0\0", 6));
  ASSERT_EQ(mkfifo((dir.path() + "/fifo").c_str(), 0600), 0);
  std::string bytes, error;
  EXPECT_TRUE(ReadDataFile(dir.path() + "/KEN_ALL.CSV", bytes, error)) << error;
  EXPECT_EQ(bytes, "01101,\"060  \"\n");
  for (const char* name : {"missing", "binary", "fifo", "."}) {
    std::string path = dir.path() + "/" + name;
    EXPECT_FALSE(ReadDataFile(path, bytes, error)) << name;
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_TRUE(bytes.empty()) << name;
  }
}

}  // namespace
}  // namespace address
