#include "prep/import/postal_row.h"

#include <gtest/gtest.h>

#include "platform/text/cp932.h"

using platform::text::Cp932;
using prep::import::Edition;
using prep::import::ToMasterFields;

namespace {

// Fifteen fields with the given readings (4 to 6) and kanji (7 to 9).
std::vector<std::string> Row(const std::string& prefecture, const std::string& city, const std::string& town,
                             const std::string& kanjiTown) {
  return {"01101", "060  ", "0600000", prefecture, city, town, "k1", "k2", kanjiTown, "0", "0", "0", "0", "0", "0"};
}

}  // namespace

TEST(ToMasterFields, Cp932EditionWritesSmallKanaFullSizeInReadingsOnly) {
  // ﾎｯｶｲﾄﾞｳ, ｻｯﾎﾟﾛｼ, ｷｬｸ; field 9 holds a half-width ｯ that is not a reading.
  auto fields = Row(Cp932("ﾎｯｶｲﾄﾞｳ"), Cp932("ｻｯﾎﾟﾛｼ"), Cp932("ｷｬｸ(1-2ﾁｮｳﾒ)"), Cp932("町ｯ"));
  std::string error;
  ASSERT_TRUE(ToMasterFields(Edition::kCp932, fields, error)) << error;
  EXPECT_EQ(fields[3], Cp932("ﾎﾂｶｲﾄﾞｳ"));
  EXPECT_EQ(fields[4], Cp932("ｻﾂﾎﾟﾛｼ"));
  EXPECT_EQ(fields[5], Cp932("ｷﾔｸ(1-2ﾁﾖｳﾒ)"));
  EXPECT_EQ(fields[8], Cp932("町ｯ"));
}

TEST(ToMasterFields, Cp932EditionRefusesUndecodableBytes) {
  auto fields = Row("a", "b", "c", "\x81");  // a lone lead byte
  std::string error;
  EXPECT_FALSE(ToMasterFields(Edition::kCp932, fields, error));
  EXPECT_EQ(error, "field 9 holds bytes that form no CP932 character");
}

TEST(ToMasterFields, Utf8EditionReadingsBecomeTheCp932EditionsBytes) {
  auto fields = Row("ホッカイドウ", "シベツグンナカシベツチョウ", "マタオチ（１６２９−１、ＡＢ〜Ｃ）",
                    "俣落（１６２９−１、２〜３）");
  std::string error;
  ASSERT_TRUE(ToMasterFields(Edition::kUtf8, fields, error)) << error;
  EXPECT_EQ(fields[3], Cp932("ﾎﾂｶｲﾄﾞｳ"));
  EXPECT_EQ(fields[4], Cp932("ｼﾍﾞﾂｸﾞﾝﾅｶｼﾍﾞﾂﾁﾖｳ"));
  // （、） become (､), the minus sign "-" and the wave dash "~".
  EXPECT_EQ(fields[5], Cp932("ﾏﾀｵﾁ(1629-1､AB~C)"));
  // In kanji text the minus sign U+2212 lands on 0x817C and the wave dash
  // U+301C on 0x8160, as in the CP932 edition.
  EXPECT_EQ(fields[8], Cp932("俣落（１６２９") + "\x81\x7C" + Cp932("１、２") + "\x81\x60" + Cp932("３）"));
}

TEST(ToMasterFields, Utf8EditionReadingsKeepSignsWhoseHalfWidthKinIsSyntax) {
  // ， ＂ ／ ＼ would narrow to the master file's separator, a quote and the
  // index path's separators; they keep their full-width CP932 bytes.
  auto fields = Row("ホッカイドウ", "／シ", "Ａ，Ｂ＂Ｃ＼", "町");
  std::string error;
  ASSERT_TRUE(ToMasterFields(Edition::kUtf8, fields, error)) << error;
  EXPECT_EQ(fields[4], "\x81\x5E" + Cp932("ｼ"));
  EXPECT_EQ(fields[5],
            "A\x81\x43"
            "B\xFA\x57"
            "C\x81\x5F");
}

TEST(CheckIndexKeys, RefusesASeparatorOfItsOwnInTheKeyBytes) {
  std::string error;
  auto cityOk = Row("a", "b/", "c", "d");
  EXPECT_TRUE(prep::import::CheckIndexKeys(cityOk, error));
  auto city = Row("a", "/b", "c", "d");
  EXPECT_FALSE(prep::import::CheckIndexKeys(city, error));
  EXPECT_EQ(error, "field 5 begins with \"/\", which would split the index file's path");
  auto town = Row("a", "b", Cp932("ｱ") + "\\c", "d");
  EXPECT_FALSE(prep::import::CheckIndexKeys(town, error));
  EXPECT_EQ(error, "field 6 has \"\\\" in its first two bytes, which would split the index file's path");
  // ソ (0x83 0x5C) ends in a trail byte, not a separator; a third byte may
  // be anything.
  auto so = Row("a", "b", Cp932("ソ") + "/", "d");
  EXPECT_TRUE(prep::import::CheckIndexKeys(so, error));
}

TEST(CheckIndexKeys, RefusesKeyBytesThatCutACharacter) {
  std::string error;
  // ， (0x81 0x43) as the city's first character: its lead byte alone
  // would name the directory.
  auto city = Row("a", Cp932("，ｼ"), "c", "d");
  EXPECT_FALSE(prep::import::CheckIndexKeys(city, error));
  EXPECT_EQ(error,
            "field 5 begins with a two-byte character, which the index directory's one-byte "
            "name would cut in half");
  auto town = Row("a", "b", Cp932("ｱ，"), "d");
  EXPECT_FALSE(prep::import::CheckIndexKeys(town, error));
  EXPECT_EQ(error,
            "field 6 has a two-byte character from its second byte on, which the index file's "
            "two-byte name would cut in half");
  // A two-byte character as the town's first is both key bytes, whole.
  auto whole = Row("a", "b", Cp932("，ｱ"), "d");
  EXPECT_TRUE(prep::import::CheckIndexKeys(whole, error));
}

TEST(ToMasterFields, Utf8EditionRefusesWhatCp932CannotHold) {
  std::string error;
  auto emoji = Row("a", "b", "c", "\xF0\x9F\x98\x80");  // U+1F600
  EXPECT_FALSE(ToMasterFields(Edition::kUtf8, emoji, error));
  EXPECT_EQ(error, "field 9 holds a character that CP932 cannot store");
  auto broken = Row("a", "b", "\xE3\x82", "d");  // a cut sequence
  EXPECT_FALSE(ToMasterFields(Edition::kUtf8, broken, error));
  EXPECT_EQ(error, "field 6 holds bytes that form no UTF-8 character");
}

TEST(GuessEdition, Utf8OnlyWhenTheLineIsValidUtf8) {
  EXPECT_EQ(prep::import::GuessEdition("\"ホッカイドウ\""), Edition::kUtf8);
  EXPECT_EQ(prep::import::GuessEdition(Cp932("\"ﾎｯｶｲﾄﾞｳ\",\"北海道\"")), Edition::kCp932);
}
