// CP932 text as a terminal shows it: character by character, each with
// the code point drawn, the cells it takes (a full-width character two) and
// the CP932 bytes it stands for, so that a text is measured, cut and
// wrapped at character boundaries and never inside a two-byte character.
// Widths are the C library's (wcwidth), which is what the terminal library
// and the terminal itself go by; the backend sets a UTF-8 character type
// before anything is measured. Knows nothing of controls or of the screen.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::dialog::terminal {

struct Glyph {
  char32_t code = U' ';  // what is drawn: U+FFFD for a byte that forms no character
  int width = 1;         // cells: 1, or 2 for a full-width character
  int bytes = 1;         // CP932 bytes it stands for: 1 or 2
};

// The mark drawn where a text is cut short.
inline constexpr char32_t kCutMark = U'…';

// The character that starts at byte `at` of `cp932`. A lead byte without a
// trail byte that completes it is a character of its own, drawn as U+FFFD;
// a control character (a tab, say) is drawn as a blank.
Glyph GlyphAt(std::string_view cp932, std::size_t at);

std::vector<Glyph> Glyphs(std::string_view cp932);

// Cells a code point takes (1 or 2), and a CP932 text.
int CellWidth(char32_t code);
int CellWidth(std::string_view cp932);

// The bytes of `cp932` that fit in `cells` cells, cut before the first
// character that would pass them; `cut` tells whether anything was left out.
std::size_t BytesThatFit(std::string_view cp932, int cells, bool* cut = nullptr);

// One line of a laid-out text: bytes [begin, end) of the text.
struct TextLine {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Splits a CP932 text into lines at its line breaks (CR LF, LF, or a lone
// CR) and, where `width` is above 0, wraps each line at that many cells:
// after the last blank that lets a run of half-width letters stay whole,
// else before any character (a Japanese line breaks between characters).
// Blanks at a wrap are kept at the end of the line they end.
std::vector<TextLine> LayOutLines(std::string_view cp932, int width);

// A character the user typed (UTF-8) as CP932, or nothing when CP932 has
// no form for it.
std::optional<std::string> TypedToCp932(char32_t code);

// A code point as UTF-8.
std::string Utf8Of(char32_t code);

}  // namespace platform::dialog::terminal
