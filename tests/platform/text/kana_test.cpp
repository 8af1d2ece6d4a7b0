#include "platform/text/kana.h"

#include <gtest/gtest.h>

using platform::text::ToFullSizeKana;
using platform::text::ToHalfWidth;

TEST(ToHalfWidth, VoicedKanaBecomeLetterAndMark) {
  // ガ U+30AC: 0xB6 ｶ, 0xDE ﾞ.  パ U+30D1: 0xCA ﾊ, 0xDF ﾟ.  ヴ: 0xB3 ｳ, 0xDE.
  EXPECT_EQ(ToHalfWidth("ガ").value(), "\xB6\xDE");
  EXPECT_EQ(ToHalfWidth("パ").value(), "\xCA\xDF");
  EXPECT_EQ(ToHalfWidth("ヴ").value(), "\xB3\xDE");
}

TEST(ToHalfWidth, HiraganaAndKatakanaGiveTheSameBytes) {
  EXPECT_EQ(ToHalfWidth("さっぽろ").value(), ToHalfWidth("サッポロ").value());
  // ｻ 0xBB, ｯ 0xAF (small stays small), ﾎ 0xCE, ﾟ 0xDF, ﾛ 0xDB.
  EXPECT_EQ(ToHalfWidth("サッポロ").value(), "\xBB\xAF\xCE\xDF\xDB");
}

TEST(ToHalfWidth, OldKanaAndEdgesOfTheTable) {
  // ァ first, ヶ last; ヰ ヱ ヲ ン.
  EXPECT_EQ(ToHalfWidth("ァ").value(), "\xA7");
  EXPECT_EQ(ToHalfWidth("ヶ").value(), "\xB9");
  EXPECT_EQ(ToHalfWidth("ヰヱヲン").value(), "\xB2\xB4\xA6\xDD");
}

TEST(ToHalfWidth, PunctuationAndFullWidthAsciiBecomeSingleBytes) {
  // （、） -> "(" 0xA4 ")"; ー 0xB0; ・ 0xA5; ideographic space -> " "; Ａ１ -> "A1".
  EXPECT_EQ(ToHalfWidth("（、）").value(), "(\xA4)");
  EXPECT_EQ(ToHalfWidth("ー・　Ａ１").value(), "\xB0\xA5 A1");
}

TEST(ToHalfWidth, OtherCharactersConvertAsTheyStand) {
  // 札 0x8E 0x44, then ｻ.
  EXPECT_EQ(ToHalfWidth("札さ").value(), "\x8E\x44\xBB");
  EXPECT_EQ(ToHalfWidth("abc").value(), "abc");
}

TEST(ToHalfWidth, RefusesBrokenUtf8AndUnmappableCharacters) {
  EXPECT_FALSE(ToHalfWidth("\xE3\x81").has_value());
  EXPECT_FALSE(ToHalfWidth("\xC2\xA6").has_value());
}

TEST(ToFullSizeKana, SmallKanaBecomeFullSize) {
  // ｧｨｩｪｫｬｭｮｯ 0xA7..0xAF -> ｱｲｳｴｵﾔﾕﾖﾂ.
  EXPECT_EQ(ToFullSizeKana("\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF"), "\xB1\xB2\xB3\xB4\xB5\xD4\xD5\xD6\xC2");
  // ﾎｯｶｲﾄﾞｳ -> ﾎﾂｶｲﾄﾞｳ.
  EXPECT_EQ(ToFullSizeKana("\xCE\xAF\xB6\xB2\xC4\xDE\xB3"), "\xCE\xC2\xB6\xB2\xC4\xDE\xB3");
}

TEST(ToFullSizeKana, LeavesTrailBytesOfTwoByteCharactersAlone) {
  // 0x88 0xAF 葦: its trail byte equals ｯ and must not change.
  EXPECT_EQ(ToFullSizeKana("\x88\xAF\xAF"), "\x88\xAF\xC2");
}
