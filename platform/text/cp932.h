// Conversion between CP932 bytes (the system's text) and UTF-8 (the host's).
// Uses glibc iconv. Does not know about kana widths: see kana.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

// CP932 to UTF-8 for display. Never fails: a byte that does not form a CP932
// character (a half character at a cut, say) becomes U+FFFD.
std::string ToUtf8(std::string_view cp932);

// CP932 to UTF-8, or nothing when any byte does not form a CP932 character.
std::optional<std::string> ToUtf8Strict(std::string_view cp932);

// UTF-8 to CP932, or nothing when the text is not valid UTF-8 or holds a
// character CP932 cannot store. The JIS forms of a few signs (wave dash
// U+301C, minus sign U+2212, double vertical line U+2016, em dash U+2014,
// cent, pound and not signs) land on the same bytes as their full-width kin.
std::optional<std::string> ToCp932Strict(std::string_view utf8);

// UTF-8 text written in the source (messages, captions) to CP932. Such a text
// always converts; one that does not is a programming error and aborts.
std::string Cp932(std::string_view utf8);

// Length in bytes of the CP932 character that starts with byte b: 2 for a
// lead byte (0x81-0x9F, 0xE0-0xFC), else 1.
inline int Cp932CharLength(unsigned char b) { return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1; }

// The whole characters among bytes [start, start + length) of `cp932`
// (clipped to its end), with character boundaries counted from the text's
// first byte, the one place they are known, since a trail byte may look
// like a lead byte. A window that begins on a trail byte starts after it;
// one that ends between a lead byte and its trail byte ends before the lead
// byte.
std::string_view WholeCharacters(std::string_view cp932, std::size_t start, std::size_t length);

// The text without a last lead byte whose trail byte is missing: what a
// title shows of a text that may have been cut.
inline std::string_view WholeCharacters(std::string_view cp932) { return WholeCharacters(cp932, 0, cp932.size()); }

}  // namespace platform::text
