#include "platform/text/utf8.h"

#include <cwchar>  // wcwidth

namespace platform::text {

Decoded DecodeUtf8At(std::string_view utf8, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[at + i]); };
  unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t length = 0;
  char32_t code = 0;
  // The second byte's range rules out overlong forms, surrogates and code
  // points above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  if (utf8.size() - at < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    unsigned char next = byte(i);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return {};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length, true};
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
