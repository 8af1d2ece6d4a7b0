#include "platform/text/utf8.h"

#include <cwchar>  // wcwidth

namespace platform::text {

namespace {

// What a lead byte asks of the bytes after it: how many there are in all
// (0 for a byte that starts no character), the range of the second byte
// (which rules out overlong forms, surrogates and code points above
// U+10FFFF), and the lead byte's own bits of the code point.
struct LeadRule {
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  char32_t bits = 0;
};

LeadRule RuleOf(unsigned char lead) {
  if (lead < 0x80) return {1, 0x80, 0xBF, lead};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF, static_cast<char32_t>(lead & 0x1F)};
  if (lead >= 0xE0 && lead <= 0xEF)
    return {3, static_cast<unsigned char>(lead == 0xE0 ? 0xA0 : 0x80),
            static_cast<unsigned char>(lead == 0xED ? 0x9F : 0xBF), static_cast<char32_t>(lead & 0x0F)};
  if (lead >= 0xF0 && lead <= 0xF4)
    return {4, static_cast<unsigned char>(lead == 0xF0 ? 0x90 : 0x80),
            static_cast<unsigned char>(lead == 0xF4 ? 0x8F : 0xBF), static_cast<char32_t>(lead & 0x07)};
  return {};
}

bool Continues(const LeadRule& rule, std::size_t position, unsigned char next) {
  return next >= (position == 1 ? rule.low : 0x80) && next <= (position == 1 ? rule.high : 0xBF);
}

}  // namespace

std::size_t Utf8Length(unsigned char lead) { return RuleOf(lead).length; }

bool StartsUtf8Character(std::string_view bytes) {
  if (bytes.empty()) return false;
  LeadRule rule = RuleOf(static_cast<unsigned char>(bytes[0]));
  if (rule.length == 0 || bytes.size() > rule.length) return false;
  for (std::size_t i = 1; i < bytes.size(); ++i)
    if (!Continues(rule, i, static_cast<unsigned char>(bytes[i]))) return false;
  return true;
}

Decoded DecodeUtf8At(std::string_view utf8, std::size_t at) {
  LeadRule rule = RuleOf(static_cast<unsigned char>(utf8[at]));
  if (rule.length == 0 || utf8.size() - at < rule.length) return {};
  char32_t code = rule.bits;
  for (std::size_t i = 1; i < rule.length; ++i) {
    auto next = static_cast<unsigned char>(utf8[at + i]);
    if (!Continues(rule, i, next)) return {};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, rule.length, true};
}

bool IsValidUtf8(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size();) {
    Decoded d = DecodeUtf8At(utf8, at);
    if (!d.valid) return false;
    at += d.length;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t code) {
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacementCharacter;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string Utf8Of(char32_t code) {
  std::string out;
  AppendUtf8(out, code);
  return out;
}

int DisplayWidth(char32_t code) { return ::wcwidth(static_cast<wchar_t>(code)) == 2 ? 2 : 1; }

}  // namespace platform::text
