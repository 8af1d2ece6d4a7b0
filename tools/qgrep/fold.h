// Folds CP932 lines and UTF-8 terms into one form in which they are
// compared, so that the ways a Japanese user may type a word meet the way
// the postal data writes it. Matches nothing itself: pattern.h compares the
// folded texts, and the output is always the line as it stands.
//
// The folded form is UTF-8 in which:
// - hiragana and half-width katakana are full-width katakana, and small kana
//   are full-size (ぁ ッ ｯ become ア ツ ツ); ﾞ and ﾟ after a half-width
//   kana, and a combining voiced mark after any kana, join it (ｶﾞ is ガ);
// - full-width ASCII forms are ASCII, the ideographic space is a space, and
//   the half-width signs ｡｢｣､･ｰ are 。「」、・ー;
// - letters are lower case: ASCII, and the Greek, Cyrillic and Roman-numeral
//   letters that CP932 holds;
// - hyphens, dashes, minus signs and the long vowel mark (‐ ― − － ー ｰ) are
//   "-": the postal data writes long vowels as "-" in some readings;
// - the JIS forms of a few signs (〜 U+301C, ‖, ¢ £ ¬) are the forms CP932
//   text decodes to;
// - a byte, or a lead and trail byte, that forms no CP932 character is
//   U+FFFD, which no folded term holds: it never matches a character
//   written in a term (an expression's "." still matches it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qgrep {

enum class FoldMode {
  // Lines and literal terms.
  kText,
  // Regular expressions: ASCII letters keep their case, so that \D stays \D
  // (the expression matches without regard to case instead), and an ASCII
  // sign that comes from another character (a full-width form, a dash) is
  // escaped, so that （株） stays literal text and never becomes a group.
  kExpression,
};

// Folds one CP932 line (without its line end). The folded text is written
// into `buffer`, which is reused from line to line, and stays valid until
// the next call with it. Never fails: see U+FFFD above.
std::string_view FoldCp932(std::string_view line, std::string& buffer);

// Folds a term given in UTF-8. A byte that is not UTF-8 and the character
// U+FFFD become U+FFFF, which no folded line holds.
std::string FoldUtf8(std::string_view utf8, FoldMode mode);

// The code points of UTF-8 text; a byte that is not UTF-8 is U+FFFF.
std::u32string DecodeUtf8(std::string_view utf8);

// Whether the bytes are UTF-8 throughout.
bool IsUtf8(std::string_view bytes);

// Where folded text holds a postal code written with a hyphen: the offset
// of each "-" that has exactly three digits before it and four after it,
// with no further digit on either side. Folding keeps these hyphens; a
// term decides what they mean (pattern.h).
std::vector<size_t> PostalCodeHyphens(std::string_view folded);

// Every CP932 byte sequence that folds to the one character `folded` on its
// own: single characters, and half-width kana with their mark. Empty when
// no CP932 text folds to it. A line whose folded form holds the character
// holds one of these sequences at that place.
std::vector<std::string> RawForms(char32_t folded);

}  // namespace qgrep
