#include "tools/qgrep/fold.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>  // std::memchr, std::memcpy

#include "platform/text/utf8.h"

namespace qgrep {
namespace {

constexpr char32_t kBadByte = 0xFFFD;      // what a byte without a character folds to
constexpr char32_t kNoCharacter = 0xFFFF;  // in terms: matches nothing in a line

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
int LeadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + 31; }
constexpr int kLeads = 31 + 29;

bool IsHalfWidthKana(char32_t cp) { return cp >= 0xFF66 && cp <= 0xFF9D; }

// Hyphens, dashes, minus signs and the long vowel mark, which the postal
// data writes as "-" in some readings (ｾﾝﾀ- for センター).
bool IsHyphenLike(char32_t cp) {
  return cp == '-' || (cp >= 0x2010 && cp <= 0x2015) || cp == 0x2212 || cp == 0x30FC || cp == 0xFE63 || cp == 0xFF0D ||
         cp == 0xFF70;
}

// Full-width forms of the half-width characters U+FF61 to U+FF9F, small
// kana already full-size.
constexpr std::array<char16_t, 0xFF9F - 0xFF61 + 1> kFromHalfWidth = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2,  // ｡｢｣､･ｦ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,          // ｧｨｩｪｫ
    0x30E4, 0x30E6, 0x30E8, 0x30C4, '-',             // ｬｭｮｯｰ
    0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA,          // ｱｲｳｴｵ
    0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,          // ｶｷｸｹｺ
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD,          // ｻｼｽｾｿ
    0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8,          // ﾀﾁﾂﾃﾄ
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE,          // ﾅﾆﾇﾈﾉ
    0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB,          // ﾊﾋﾌﾍﾎ
    0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2,          // ﾏﾐﾑﾒﾓ
    0x30E4, 0x30E6, 0x30E8,                          // ﾔﾕﾖ
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED,          // ﾗﾘﾙﾚﾛ
    0x30EF, 0x30F3, 0x309B, 0x309C,                  // ﾜﾝﾞﾟ
};

// Small katakana to full-size; others unchanged.
char32_t FullSize(char32_t cp) {
  switch (cp) {
    case 0x30A1:
    case 0x30A3:
    case 0x30A5:
    case 0x30A7:
    case 0x30A9:  // ァィゥェォ
    case 0x30C3:
    case 0x30E3:
    case 0x30E5:
    case 0x30E7:
    case 0x30EE:  // ッャュョヮ
      return cp + 1;
    case 0x30F5: return 0x30AB;  // ヵ
    case 0x30F6: return 0x30B1;  // ヶ
    default: return cp;
  }
}

// The folded form of one character, without regard to its neighbours.
char32_t FoldChar(char32_t cp, bool lowerAscii) {
  if (IsHyphenLike(cp)) return '-';
  if (cp < 0x80) return (lowerAscii && cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
  if (cp >= 0xFF01 && cp <= 0xFF5E) {
    cp -= 0xFEE0;
    return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
  }
  if (cp >= 0xFF61 && cp <= 0xFF9F) return kFromHalfWidth[cp - 0xFF61];
  if (cp >= 0x3041 && cp <= 0x3096) return FullSize(cp + 0x60);  // hiragana
  if (cp >= 0x30A1 && cp <= 0x30F6) return FullSize(cp);
  if (cp == 0x309D || cp == 0x309E) return cp + 0x60;  // ゝゞ
  if (cp >= 0x0391 && cp <= 0x03A9) return cp + 0x20;  // Greek capitals
  if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;  // Cyrillic capitals
  if (cp >= 0x2160 && cp <= 0x216F) return cp + 0x10;  // Roman numerals
  switch (cp) {
    case 0x3000: return ' ';
    case 0x0401: return 0x0451;  // Ё
    case 0x301C: return '~';     // the JIS forms, as CP932 text decodes them
    case 0x2016: return 0x2225;
    case 0x00A2: return 0xFFE0;
    case 0x00A3: return 0xFFE1;
    case 0x00AC: return 0xFFE2;
    case 0xFFFD: return kNoCharacter;
    default: return cp;
  }
}

// The katakana that `base` (folded) becomes with a voiced (semi = false) or
// semi-voiced mark, or 0.
char32_t Compose(char32_t base, bool semi) {
  if (base >= 0x30CF && base <= 0x30DB && (base - 0x30CF) % 3 == 0) return base + (semi ? 2 : 1);  // ハ行
  if (semi) return 0;
  if (base >= 0x30AB && base <= 0x30C1 && (base - 0x30AB) % 2 == 0) return base + 1;  // カ to チ
  switch (base) {
    case 0x30C4:
    case 0x30C6:
    case 0x30C8: return base + 1;  // ツテト
    case 0x30A6: return 0x30F4;    // ウ
    case 0x30EF:
    case 0x30F0:
    case 0x30F1:
    case 0x30F2: return base + 8;  // ワヰヱヲ
    case 0x30FD: return 0x30FE;    // ヽ
    default: return 0;
  }
}

void AppendUtf8(std::string& out, char32_t cp) { platform::text::AppendUtf8(out, cp); }

// A character of the Basic Multilingual Plane as its UTF-8 bytes in the
// low three bytes, first byte lowest, and their count in the high byte:
// written with one four-byte store.
uint32_t Pack(char32_t cp) {
  std::string utf8;
  AppendUtf8(utf8, cp);
  uint32_t packed = static_cast<uint32_t>(utf8.size()) << 24;
  for (size_t i = 0; i < utf8.size() && i < 3; ++i)
    packed |= static_cast<uint32_t>(static_cast<unsigned char>(utf8[i])) << (8 * i);
  return packed;
}

// The folded character of every CP932 code, packed, built once from the C
// library's own CP932 table. A code without a character is U+FFFD.
struct Tables {
  std::array<uint32_t, 256> single{};                // single bytes (lead bytes alone too)
  std::array<std::array<uint32_t, 2>, 64> joined{};  // 0xA0 + i with ﾞ or ﾟ; 0 when they stay apart
  std::array<std::array<uint32_t, 256>, kLeads> pair{};

  Tables() {
    const uint32_t bad = Pack(kBadByte);
    for (int b = 0; b < 256; ++b) {
      char32_t cp = kBadByte;
      if (b < 0x80) cp = static_cast<char32_t>(b);
      if (b >= 0xA1 && b <= 0xDF) cp = 0xFF61 + static_cast<char32_t>(b - 0xA1);
      single[b] = cp == kBadByte ? bad : Pack(FoldChar(cp, true));
    }
    for (int b = 0xA6; b <= 0xDD; ++b) {
      char32_t base = FoldChar(0xFF61 + static_cast<char32_t>(b - 0xA1), true);
      for (int semi = 0; semi < 2; ++semi) {
        char32_t composed = Compose(base, semi == 1);
        joined[b - 0xA0][semi] = composed ? Pack(composed) : 0;
      }
    }
    for (auto& row : pair) row.fill(bad);
    iconv_t cd = iconv_open("UTF-32LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;  // every two-byte code stays without a character
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrail(static_cast<unsigned char>(trail))) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[8];
        char* src = in;
        char* dst = reinterpret_cast<char*>(out);
        size_t srcLeft = 2, dstLeft = sizeof out;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || dstLeft != 4) {
          iconv(cd, nullptr, nullptr, nullptr, nullptr);
          continue;
        }
        char32_t cp = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
        char32_t folded = FoldChar(cp, true);
        if (folded < 0x10000) pair[LeadIndex(static_cast<unsigned char>(lead))][trail] = Pack(folded);
      }
    }
    iconv_close(cd);
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The ASCII signs of expression syntax, '-' (of character classes) included.
bool IsExpressionSign(char32_t c) {
  switch (c) {
    case '-':
    case '\\':
    case '^':
    case '$':
    case '.':
    case '|':
    case '?':
    case '*':
    case '+':
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}': return true;
    default: return false;
  }
}

}  // namespace

std::string_view FoldCp932(std::string_view line, std::string& buffer) {
  const Tables& t = TheTables();
  const size_t n = line.size();
  // At most three bytes per byte, and room for the last four-byte store.
  if (buffer.size() < 3 * n + 4) buffer.resize(3 * n + 4);
  char* const begin = buffer.data();
  char* w = begin;
  auto put = [&w](uint32_t packed) {
    std::memcpy(w, &packed, 4);  // the fourth byte is overwritten next
    w += packed >> 24;
  };
  for (size_t i = 0; i < n;) {
    auto b = static_cast<unsigned char>(line[i]);
    if (b < 0x80) {
      *w++ = static_cast<char>(t.single[b]);
      ++i;
    } else if (IsLead(b)) {
      // A lead byte with a trail byte is one character, assigned or not;
      // without one it stands alone.
      if (i + 1 < n && IsTrail(static_cast<unsigned char>(line[i + 1]))) {
        put(t.pair[LeadIndex(b)][static_cast<unsigned char>(line[i + 1])]);
        i += 2;
      } else {
        put(t.single[b]);
        ++i;
      }
    } else {
      uint32_t packed = t.single[b];
      if (b >= 0xA6 && b <= 0xDD && i + 1 < n) {
        auto mark = static_cast<unsigned char>(line[i + 1]);
        if (mark == 0xDE || mark == 0xDF) {
          uint32_t joined = t.joined[b - 0xA0][mark - 0xDE];
          if (joined) {
            packed = joined;
            ++i;
          }
        }
      }
      put(packed);
      ++i;
    }
  }
  return std::string_view(begin, static_cast<size_t>(w - begin));
}

namespace {

// The code point of the UTF-8 character at text[i] and its length, or a
// length of 0 when the bytes there are not UTF-8.
char32_t DecodeAt(std::string_view text, size_t i, size_t& length) {
  platform::text::Decoded d = platform::text::DecodeUtf8At(text, i);
  length = d.valid ? d.length : 0;
  return d.code;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t length;
    char32_t cp = DecodeAt(text, i, length);
    out += length ? cp : kNoCharacter;
    i += length ? length : 1;
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    size_t length;
    DecodeAt(text, i, length);
    if (!length) return false;
    i += length;
  }
  return true;
}

std::string FoldUtf8(std::string_view utf8, FoldMode mode) {
  const bool expression = mode == FoldMode::kExpression;
  std::u32string folded;
  bool afterHalfWidthKana = false;
  for (char32_t cp : DecodeUtf8(utf8)) {
    bool halfMark = cp == 0xFF9E || cp == 0xFF9F;
    bool combiningMark = cp == 0x3099 || cp == 0x309A;
    if ((halfMark && afterHalfWidthKana) || (combiningMark && !folded.empty())) {
      char32_t joined = Compose(folded.back(), cp == 0xFF9F || cp == 0x309A);
      if (joined) {
        folded.back() = joined;
        afterHalfWidthKana = false;
        continue;
      }
    }
    if (combiningMark) cp += 2;  // standing alone: the spacing mark
    char32_t f = FoldChar(cp, !expression);
    if (expression && cp >= 0x80 && IsExpressionSign(f)) folded += U'\\';
    folded += f;
    afterHalfWidthKana = IsHalfWidthKana(cp);
  }
  std::string out;
  out.reserve(folded.size() * 3);
  for (char32_t cp : folded) AppendUtf8(out, cp);
  return out;
}

std::vector<size_t> PostalCodeHyphens(std::string_view text) {
  std::vector<size_t> hyphens;
  const size_t n = text.size();
  for (size_t at = text.find('-'); at != std::string_view::npos; at = text.find('-', at + 1)) {
    if (at < 3 || at + 5 > n) continue;
    bool before =
        IsDigit(text[at - 1]) && IsDigit(text[at - 2]) && IsDigit(text[at - 3]) && (at == 3 || !IsDigit(text[at - 4]));
    bool after = IsDigit(text[at + 1]) && IsDigit(text[at + 2]) && IsDigit(text[at + 3]) && IsDigit(text[at + 4]) &&
                 (at + 5 == n || !IsDigit(text[at + 5]));
    if (before && after) hyphens.push_back(at);
  }
  return hyphens;
}

std::vector<std::string> RawForms(char32_t folded) {
  const Tables& t = TheTables();
  const uint32_t packed = Pack(folded);
  std::vector<std::string> forms;
  for (int b = 0; b < 256; ++b)
    if (!IsLead(static_cast<unsigned char>(b)) && t.single[b] == packed) forms.emplace_back(1, static_cast<char>(b));
  for (int b = 0xA6; b <= 0xDD; ++b)
    for (int semi = 0; semi < 2; ++semi)
      if (t.joined[b - 0xA0][semi] == packed)
        forms.push_back({static_cast<char>(b), static_cast<char>(semi ? 0xDF : 0xDE)});
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(static_cast<unsigned char>(lead))) continue;
    const auto& row = t.pair[LeadIndex(static_cast<unsigned char>(lead))];
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (IsTrail(static_cast<unsigned char>(trail)) && row[trail] == packed)
        forms.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  }
  return forms;
}

}  // namespace qgrep
