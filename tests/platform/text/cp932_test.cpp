#include "platform/text/cp932.h"

#include <gtest/gtest.h>

using platform::text::Cp932;
using platform::text::ToCp932Strict;
using platform::text::ToUtf8;
using platform::text::ToUtf8Strict;
using platform::text::WholeCharacters;

TEST(Cp932ToUtf8, ConvertsSingleAndDoubleByteCharacters) {
  // 0xBB U+FF7B HALFWIDTH KATAKANA LETTER SA; 0x8E 0x44 U+672D 札.
  EXPECT_EQ(ToUtf8("A\xBB\x8E\x44"), "A\xEF\xBD\xBB\xE6\x9C\xAD");
}

TEST(Cp932ToUtf8, KeepsTrailByte5cInsideItsCharacter) {
  // 0x83 0x5C U+30BD KATAKANA LETTER SO: the 0x5C is no backslash.
  EXPECT_EQ(ToUtf8("\x83\x5C"), "\xE3\x82\xBD");
}

TEST(Cp932ToUtf8, ReplacesHalfCharacterForDisplay) {
  // A lead byte cut off at the end: one U+FFFD, nothing lost before it.
  EXPECT_EQ(ToUtf8("a\x8E"), "a\xEF\xBF\xBD");
  EXPECT_FALSE(ToUtf8Strict("a\x8E").has_value());
  EXPECT_EQ(ToUtf8Strict("a").value(), "a");
}

TEST(Utf8ToCp932, JisFormsOfSignsLandOnTheFullWidthBytes) {
  // U+301C WAVE DASH and U+FF5E FULLWIDTH TILDE: 0x81 0x60.
  EXPECT_EQ(ToCp932Strict("\xE3\x80\x9C").value(), "\x81\x60");
  EXPECT_EQ(ToCp932Strict("\xEF\xBD\x9E").value(), "\x81\x60");
  // U+2212 MINUS SIGN and U+FF0D FULLWIDTH HYPHEN-MINUS: 0x81 0x7C.
  EXPECT_EQ(ToCp932Strict("\xE2\x88\x92").value(), "\x81\x7C");
  EXPECT_EQ(ToCp932Strict("\xEF\xBC\x8D").value(), "\x81\x7C");
  // U+2016 DOUBLE VERTICAL LINE: 0x81 0x61.
  EXPECT_EQ(ToCp932Strict("\xE2\x80\x96").value(), "\x81\x61");
}

TEST(Utf8ToCp932, RefusesCharactersWithoutCp932Form) {
  // U+00A6 BROKEN BAR has no CP932 byte.
  EXPECT_FALSE(ToCp932Strict("\xC2\xA6").has_value());
  // A cut UTF-8 sequence.
  EXPECT_FALSE(ToCp932Strict("\xE3\x80").has_value());
}

TEST(Utf8ToCp932, SourceLiteralsConvert) {
  // "エラー": 0x83 0x47, 0x83 0x89, 0x81 0x5B.
  EXPECT_EQ(Cp932("エラー"), "\x83\x47\x83\x89\x81\x5B");
}

TEST(Utf8ToCp932DeathTest, SourceLiteralWithoutCp932FormAborts) { EXPECT_DEATH(Cp932("\xC2\xA6"), "no CP932 form"); }

TEST(Cp932Window, KeepsWholeCharactersCountedFromTheStart) {
  // "検索": 0x8C 0x9F, 0x8D 0xF5. The trail byte 0x9F is also a lead byte:
  // read from the middle, 0x9F 0x8D would pass for a character of its own.
  const std::string text = "\x8C\x9F\x8D\xF5";
  EXPECT_EQ(WholeCharacters(text, 0, 4), text);
  EXPECT_EQ(WholeCharacters(text, 1, 3), "\x8D\xF5") << "a window starting on a trail byte starts after it";
  EXPECT_EQ(WholeCharacters(text, 0, 3), "\x8C\x9F") << "a window ending after a lead byte ends before it";
  EXPECT_EQ(WholeCharacters(text, 1, 2), "") << "nothing whole inside";
  EXPECT_EQ(WholeCharacters(text, 2, 99), "\x8D\xF5") << "clipped to the end";
  EXPECT_EQ(WholeCharacters(text, 9, 2), "");
  // U+FF7B HALFWIDTH KATAKANA LETTER SA (0xBB) is one byte; a last lead
  // byte without its trail byte is left out.
  EXPECT_EQ(WholeCharacters("\xBB\x8C"), "\xBB");
}
