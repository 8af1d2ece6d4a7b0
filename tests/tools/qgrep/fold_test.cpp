#include "tools/qgrep/fold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/cp932.h"

using platform::text::Cp932;
using qgrep::FoldCp932;
using qgrep::FoldMode;
using qgrep::FoldUtf8;

namespace {

std::string Line(const std::string& cp932) {
  std::string buffer;
  return std::string(FoldCp932(cp932, buffer));
}

std::string Text(const std::string& utf8) { return FoldUtf8(utf8, FoldMode::kText); }
std::string Expression(const std::string& utf8) { return FoldUtf8(utf8, FoldMode::kExpression); }

}  // namespace

TEST(Fold, KanaOfEveryWidthAndScriptMeet) {
  // The reading as the postal data writes it: ﾎ ｯ(small) ｶ ｲ ﾄ ﾞ ｳ.
  const std::string data = Line("\xCE\xAF\xB6\xB2\xC4\xDE\xB3");
  EXPECT_EQ(data, "ホツカイドウ");  // small kana full-size, ﾄﾞ joined
  EXPECT_EQ(Text("ほっかいどう"), data);
  EXPECT_EQ(Text("ホッカイドウ"), data);
  EXPECT_EQ(Text("ﾎｯｶｲﾄﾞｳ"), data);
  EXPECT_EQ(Line(Cp932("ほっかいどう")), data);
  // Semi-voiced and ヴ; a combining mark joins too; a mark after a kana
  // that takes none stays a mark.
  EXPECT_EQ(Text("ﾊﾟｳﾞ"), "パヴ");
  EXPECT_EQ(Text("は\u309Aう\u3099"), "パヴ");
  EXPECT_EQ(Line("\xB1\xDE"), "ア゛");  // ｱﾞ
}

TEST(Fold, WidthCaseAndLongVowels) {
  EXPECT_EQ(Text("ＡＢＣ　ａｂｃ１２３"), "abc abc123");
  EXPECT_EQ(Line(Cp932("ＡＢＣ　ａｂｃ１２３")), "abc abc123");
  EXPECT_EQ(Text("ΑΩ Ж"), "αω ж");
  // The long vowel mark is "-", as some readings write it (ｾﾝﾀ-).
  EXPECT_EQ(Text("センター"), Line("\xBE\xDD\xC0-"));
  EXPECT_EQ(Line("\xBE\xDD\xC0\xB0"), "センタ-");  // ｾﾝﾀｰ
}

TEST(Fold, PostalCodeHyphensAreFoundNotDropped) {
  using Offsets = std::vector<size_t>;
  // Lines keep every hyphen: "59-2786" must still be found in 759-2786.
  EXPECT_EQ(Line(Cp932("060‐0061 と 100―0001")), "060-0061 ト 100-0001");
  EXPECT_EQ(Text("０６０－００６１"), "060-0061");
  EXPECT_EQ(qgrep::PostalCodeHyphens(Text("〒060ー0061")), Offsets{6});
  EXPECT_EQ(qgrep::PostalCodeHyphens("060-0061,100-0001"), (Offsets{3, 12}));
  // Only three digits, a hyphen and four digits, with no digit around.
  EXPECT_EQ(qgrep::PostalCodeHyphens("1060-0061"), Offsets{});
  EXPECT_EQ(qgrep::PostalCodeHyphens("060-00612"), Offsets{});
  EXPECT_EQ(qgrep::PostalCodeHyphens("59-2786"), Offsets{});
  EXPECT_EQ(qgrep::PostalCodeHyphens("1-2-3"), Offsets{});
}

TEST(Fold, BytesWithoutACharacterNeverBecomeOne) {
  // 0x85 0x41: lead and trail of no character, never "A". 0x83 0x41 is ア,
  // 0x83 0x5C is ソ: their trail bytes are never "a" or a backslash.
  EXPECT_EQ(Line("\x85\x41"
                 "b"),
            "\uFFFD"
            "b");
  EXPECT_EQ(Line("\x83\x41\x83\x5C"), "アソ");
  // A lead byte at the end or before a byte that cannot trail stands alone;
  // the bytes 0x80, 0xA0 and 0xFD to 0xFF form nothing.
  EXPECT_EQ(Line("a\x83"), "a\uFFFD");
  EXPECT_EQ(Line("\x83\x0D"
                 "1"),
            "\uFFFD\r1");
  EXPECT_EQ(Line("\x80\xA0\xFD\xFE\xFF"), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
  // U+FFFD in a term is never what a line holds for such bytes.
  EXPECT_EQ(Line("\x80").find(Text("\uFFFD")), std::string::npos);
}

TEST(Fold, ExpressionsKeepTheirSyntax) {
  // ASCII case stays (\D is not \d); full-width and dash signs are literal.
  EXPECT_EQ(Expression("\\D+ＡＢ"), "\\D+ab");
  EXPECT_EQ(Expression("（株）|ﾎﾟ"), "\\(株\\)|ポ");
  EXPECT_EQ(Expression("[アーン]"), "[ア\\-ン]");
  EXPECT_EQ(Expression("^060ー0061"), "^060\\-0061");
}
