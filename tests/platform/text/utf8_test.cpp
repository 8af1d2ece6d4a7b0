#include "platform/text/utf8.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

using platform::text::AppendUtf8;
using platform::text::Decoded;
using platform::text::DecodeUtf8At;
using platform::text::DisplayWidth;
using platform::text::IsValidUtf8;
using platform::text::Utf8Of;

// Every character of a text as decoding walks it: code points, U+FFFD for
// each byte that forms none.
std::vector<char32_t> Walk(const std::string& utf8) {
  std::vector<char32_t> codes;
  for (std::size_t at = 0; at < utf8.size();) {
    Decoded d = DecodeUtf8At(utf8, at);
    codes.push_back(d.code);
    at += d.length;
  }
  return codes;
}

TEST(Utf8Decode, WellFormedCharactersOfEveryLength) {
  // "a", U+00E9 LATIN SMALL LETTER E WITH ACUTE, U+FF7B HALFWIDTH KATAKANA
  // LETTER SA, U+1F600 GRINNING FACE.
  EXPECT_EQ(Walk("a\xC3\xA9\xEF\xBD\xBB\xF0\x9F\x98\x80"), (std::vector<char32_t>{U'a', 0xE9, 0xFF7B, 0x1F600}));
  EXPECT_TRUE(IsValidUtf8("a\xC3\xA9\xEF\xBD\xBB\xF0\x9F\x98\x80"));
  // The last code point, U+10FFFF, and the first after the surrogates.
  EXPECT_EQ(Walk("\xF4\x8F\xBF\xBF\xEE\x80\x80"), (std::vector<char32_t>{0x10FFFF, 0xE000}));
}

TEST(Utf8Decode, EveryBadByteIsOneReplacementCharacter) {
  const char32_t r = U'\uFFFD';
  // Overlong forms of "/" and of U+0000, and an overlong three-byte form.
  EXPECT_EQ(Walk("\xC0\xAF"), (std::vector<char32_t>{r, r}));
  EXPECT_EQ(Walk("\xC1\x80"), (std::vector<char32_t>{r, r}));
  EXPECT_EQ(Walk("\xE0\x80\xAF"), (std::vector<char32_t>{r, r, r}));
  // The surrogate U+D800, and a code point above U+10FFFF.
  EXPECT_EQ(Walk("\xED\xA0\x80"), (std::vector<char32_t>{r, r, r}));
  EXPECT_EQ(Walk("\xF4\x90\x80\x80"), (std::vector<char32_t>{r, r, r, r}));
  // A stray continuation byte, and bytes that start nothing.
  EXPECT_EQ(Walk("\x80"
                 "a\xFE\xFF"),
            (std::vector<char32_t>{r, U'a', r, r}));
  // Sequences cut short, at the end and before an ASCII letter: the
  // letter is kept.
  EXPECT_EQ(Walk("\xE3\x81"), (std::vector<char32_t>{r, r}));
  EXPECT_EQ(Walk("\xE3\x81"
                 "a"),
            (std::vector<char32_t>{r, r, U'a'}));
  EXPECT_EQ(Walk("\xF0\x9F\x98"), (std::vector<char32_t>{r, r, r}));
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE3\x81", "\x80"}) EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Utf8Encode, EveryLengthAndNothingThatIsNotACharacter) {
  EXPECT_EQ(Utf8Of(U'a'), "a");
  EXPECT_EQ(Utf8Of(0xE9), "\xC3\xA9");
  EXPECT_EQ(Utf8Of(0xFF7B), "\xEF\xBD\xBB");
  EXPECT_EQ(Utf8Of(0x1F600), "\xF0\x9F\x98\x80");
  // A surrogate and a number above U+10FFFF become U+FFFD.
  EXPECT_EQ(Utf8Of(0xD800), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8Of(0x110000), "\xEF\xBF\xBD");
  std::string out = "x";
  AppendUtf8(out, 0x3042);  // U+3042 HIRAGANA LETTER A
  EXPECT_EQ(out, "x\xE3\x81\x82");
}

TEST(Utf8Width, FullWidthTakesTwoCellsHalfWidthOne) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(DisplayWidth(0x3042), 2);  // U+3042 HIRAGANA LETTER A
  EXPECT_EQ(DisplayWidth(0xFF7B), 1);  // U+FF7B HALFWIDTH KATAKANA LETTER SA
  EXPECT_EQ(DisplayWidth(0xFF9E), 1);  // U+FF9E HALFWIDTH KATAKANA VOICED SOUND MARK
  EXPECT_EQ(DisplayWidth(U'a'), 1);
  EXPECT_EQ(DisplayWidth(0x0301), 1) << "a combining mark is never measured narrower than drawn";
}

}  // namespace
