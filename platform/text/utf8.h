// UTF-8 (the host's text) one character at a time: decoding with one rule
// for bytes that form no character, encoding, and the cells a character
// takes on a terminal. Whole texts convert to and from CP932 in cp932.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::text {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

struct Decoded {
  char32_t code = kReplacementCharacter;
  std::size_t length = 1;  // bytes taken
  bool valid = false;      // false: the byte at the start forms no character
};

// The character that starts at byte `at` of `utf8`. A byte that does not
// start a well-formed sequence (a stray continuation byte, an overlong
// form, a surrogate, a code point above U+10FFFF, a sequence cut short)
// decodes as U+FFFD and takes that one byte, so decoding goes on with the
// next. `at` must lie inside the text.
Decoded DecodeUtf8At(std::string_view utf8, std::size_t at);

// For text that comes a byte at a time: the bytes a character takes that
// starts with `lead` (1 to 4, or 0 for a byte that starts none), and
// whether `bytes`, a lead byte and some of what follows it, can still
// become a well-formed character.
std::size_t Utf8Length(unsigned char lead);
bool StartsUtf8Character(std::string_view bytes);

// Whether every byte of `utf8` belongs to a well-formed character.
bool IsValidUtf8(std::string_view utf8);

// A code point as UTF-8; a surrogate or one above U+10FFFF as U+FFFD.
void AppendUtf8(std::string& out, char32_t code);
std::string Utf8Of(char32_t code);

// Cells a character takes on a terminal: 2 for a wide one, 1 otherwise
// (a combining or control character counts as 1, so that a text is never
// measured narrower than it is drawn). Goes by the C library's wcwidth,
// which is what terminals go by, under the character type in force.
int DisplayWidth(char32_t code);

}  // namespace platform::text
