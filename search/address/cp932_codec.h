// Decodes CP932 and UTF-8 into characters and writes characters back as
// CP932, from a table made once per process. The address table decodes
// every row of the postal data at start; one iconv call per row would cost
// more than the whole load may take. Does not normalise: see address_key.h.
#pragma once

#include <string>
#include <string_view>

namespace address {

// U+FFFD: what a byte that forms no character decodes to.
inline constexpr char32_t kReplacement = 0xFFFD;

// Calls `put(char32_t)` for each character of CP932 text.
template <typename Put>
void DecodeCp932(std::string_view cp932, Put put);

// Calls `put(char32_t)` for each character of UTF-8 text.
template <typename Put>
void DecodeUtf8(std::string_view utf8, Put put);

// Appends the CP932 form of `c`; false, with nothing appended, when CP932
// has none.
bool AppendCp932(char32_t c, std::string& out);

// Appends the UTF-8 form of `c`.
void AppendUtf8(char32_t c, std::string& out);

// Whole texts: UTF-8 to CP932 (a character without a CP932 form makes it
// fail: false), and CP932 to UTF-8.
bool Utf8ToCp932(std::string_view utf8, std::string& cp932);
std::string Cp932ToUtf8(std::string_view cp932);

namespace detail {
// The character of a two-byte CP932 sequence, or kReplacement.
char32_t Cp932Pair(unsigned char lead, unsigned char trail);
}  // namespace detail

template <typename Put>
void DecodeCp932(std::string_view cp932, Put put) {
  const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  const auto* end = p + cp932.size();
  while (p < end) {
    unsigned char b = *p++;
    if (b < 0x80) {
      put(static_cast<char32_t>(b));
    } else if (b >= 0xA1 && b <= 0xDF) {
      put(static_cast<char32_t>(0xFF61 + (b - 0xA1)));
    } else if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      if (p == end) {
        put(kReplacement);
        break;
      }
      put(detail::Cp932Pair(b, *p++));
    } else {
      put(kReplacement);
    }
  }
}

template <typename Put>
void DecodeUtf8(std::string_view utf8, Put put) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    unsigned char b = *p++;
    if (b < 0x80) {
      put(static_cast<char32_t>(b));
      continue;
    }
    int more = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (more < 0 || end - p < more) {
      put(kReplacement);
      continue;
    }
    char32_t c = b & (0x3F >> more);
    bool ok = true;
    for (int i = 0; i < more; ++i) {
      if ((p[i] & 0xC0) != 0x80) ok = false;
      c = (c << 6) | (p[i] & 0x3F);
    }
    if (!ok || (more == 2 && c < 0x800) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF)) {
      put(kReplacement);
      continue;
    }
    p += more;
    put(c);
  }
}

}  // namespace address
