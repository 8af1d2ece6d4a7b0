#include "platform/text/kana.h"

#include <array>
#include <cstdint>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::text {
namespace {

constexpr unsigned char kVoiced = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoiced = 0xDF;  // ﾟ

// Half-width bytes of the katakana U+30A1 to U+30F6, in code point order.
// A second byte of 0 means none.
struct HalfKana {
  unsigned char letter;
  unsigned char mark;
};
constexpr std::array<HalfKana, 0x30F6 - 0x30A1 + 1> kKatakana = {{
    {0xA7, 0},       {0xB1, 0},       {0xA8, 0},           {0xB2, 0},       {0xA9, 0},       {0xB3, 0},  // ァアィイゥウ
    {0xAA, 0},       {0xB4, 0},       {0xAB, 0},           {0xB5, 0},                                    // ェエォオ
    {0xB6, 0},       {0xB6, kVoiced}, {0xB7, 0},           {0xB7, kVoiced},                              // カガキギ
    {0xB8, 0},       {0xB8, kVoiced}, {0xB9, 0},           {0xB9, kVoiced},                              // クグケゲ
    {0xBA, 0},       {0xBA, kVoiced}, {0xBB, 0},           {0xBB, kVoiced},                              // コゴサザ
    {0xBC, 0},       {0xBC, kVoiced}, {0xBD, 0},           {0xBD, kVoiced},                              // シジスズ
    {0xBE, 0},       {0xBE, kVoiced}, {0xBF, 0},           {0xBF, kVoiced},                              // セゼソゾ
    {0xC0, 0},       {0xC0, kVoiced}, {0xC1, 0},           {0xC1, kVoiced},                              // タダチヂ
    {0xAF, 0},       {0xC2, 0},       {0xC2, kVoiced},     {0xC3, 0},       {0xC3, kVoiced},  // ッツヅテデ
    {0xC4, 0},       {0xC4, kVoiced},                                                         // トド
    {0xC5, 0},       {0xC6, 0},       {0xC7, 0},           {0xC8, 0},       {0xC9, 0},        // ナニヌネノ
    {0xCA, 0},       {0xCA, kVoiced}, {0xCA, kSemiVoiced},                                    // ハバパ
    {0xCB, 0},       {0xCB, kVoiced}, {0xCB, kSemiVoiced},                                    // ヒビピ
    {0xCC, 0},       {0xCC, kVoiced}, {0xCC, kSemiVoiced},                                    // フブプ
    {0xCD, 0},       {0xCD, kVoiced}, {0xCD, kSemiVoiced},                                    // ヘベペ
    {0xCE, 0},       {0xCE, kVoiced}, {0xCE, kSemiVoiced},                                    // ホボポ
    {0xCF, 0},       {0xD0, 0},       {0xD1, 0},           {0xD2, 0},       {0xD3, 0},        // マミムメモ
    {0xAC, 0},       {0xD4, 0},       {0xAD, 0},           {0xD5, 0},       {0xAE, 0},       {0xD6, 0},  // ャヤュユョヨ
    {0xD7, 0},       {0xD8, 0},       {0xD9, 0},           {0xDA, 0},       {0xDB, 0},  // ラリルレロ
    {0xDC, 0},       {0xDC, 0},       {0xB2, 0},           {0xB4, 0},       {0xA6, 0},       {0xDD, 0},  // ヮワヰヱヲン
    {0xB3, kVoiced}, {0xB6, 0},       {0xB9, 0},                                                         // ヴヵヶ
}};

// The half-width bytes of one code point, or an empty text when it has none.
std::string HalfWidthOf(char32_t cp) {
  if (cp >= 0x3041 && cp <= 0x3096) cp += 0x60;  // hiragana to katakana
  if (cp >= 0x30A1 && cp <= 0x30F6) {
    const HalfKana& k = kKatakana[cp - 0x30A1];
    std::string out(1, static_cast<char>(k.letter));
    if (k.mark) out += static_cast<char>(k.mark);
    return out;
  }
  if (cp >= 0xFF01 && cp <= 0xFF5E) return std::string(1, static_cast<char>(cp - 0xFF01 + 0x21));
  switch (cp) {
    case 0x3000: return " ";
    case 0x3001: return "\xA4";  // 、
    case 0x3002: return "\xA1";  // 。
    case 0x300C: return "\xA2";  // 「
    case 0x300D: return "\xA3";  // 」
    case 0x30FB: return "\xA5";  // ・
    case 0x30FC: return "\xB0";  // ー
    case 0x3099:
    case 0x309B: return "\xDE";  // ゛
    case 0x309A:
    case 0x309C: return "\xDF";  // ゜
    default: return std::string();
  }
}

// Decodes the UTF-8 character at text[i]; its length goes to len. Returns
// false for a malformed sequence.
bool DecodeUtf8(std::string_view text, size_t i, char32_t& cp, size_t& len) {
  Decoded d = DecodeUtf8At(text, i);
  cp = d.code;
  len = d.length;
  return d.valid;
}

}  // namespace

std::optional<std::string> ToHalfWidth(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t runStart = 0;  // start of the pending run of characters without a half-width form
  auto flush = [&](size_t end) -> bool {
    if (end == runStart) return true;
    std::optional<std::string> converted = ToCp932Strict(utf8.substr(runStart, end - runStart));
    if (!converted) return false;
    out += *converted;
    return true;
  };
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    size_t len;
    if (!DecodeUtf8(utf8, i, cp, len)) return std::nullopt;
    std::string half = cp >= 0x80 ? HalfWidthOf(cp) : std::string();
    if (!half.empty()) {
      if (!flush(i)) return std::nullopt;
      out += half;
      runStart = i + len;
    }
    i += len;
  }
  if (!flush(utf8.size())) return std::nullopt;
  return out;
}

std::string ToFullSizeKana(std::string_view cp932) {
  // Full-size letters of ｧｨｩｪｫｬｭｮｯ (0xA7 to 0xAF).
  static constexpr unsigned char kFullSize[] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xD4, 0xD5, 0xD6, 0xC2};
  std::string out(cp932);
  for (size_t i = 0; i < out.size();) {
    auto b = static_cast<unsigned char>(out[i]);
    if (Cp932CharLength(b) == 2) {
      i += 2;
      continue;
    }
    if (b >= 0xA7 && b <= 0xAF) out[i] = static_cast<char>(kFullSize[b - 0xA7]);
    ++i;
  }
  return out;
}

}  // namespace platform::text
