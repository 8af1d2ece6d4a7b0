#include "platform/dialog/terminal/glyphs.h"

#include <array>
#include <memory>

#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

constexpr char32_t kUnknown = 0xFFFFFFFF;  // not looked up yet
constexpr char32_t kNoCharacter = U'\uFFFD';

// The first code point of a UTF-8 text, or U+FFFD.
char32_t FirstCodePoint(std::string_view utf8) {
  return utf8.empty() ? kNoCharacter : text::DecodeUtf8At(utf8, 0).code;
}

// CP932 characters to code points, each looked up once through the text
// layer's conversion and kept for the life of the process: a screen is
// drawn many times a second from the same few hundred characters.
class CodeTable {
 public:
  CodeTable() { single_.fill(kUnknown); }
  CodeTable(const CodeTable&) = delete;
  CodeTable& operator=(const CodeTable&) = delete;

  char32_t One(unsigned char b) {
    char32_t& code = single_[b];
    if (code == kUnknown) {
      char in = static_cast<char>(b);
      code = Convert(&in, 1);
    }
    return code;
  }

  char32_t Two(unsigned char lead, unsigned char trail) {
    if (!pairs_) {
      pairs_ = std::make_unique<std::array<char32_t, 65536>>();
      pairs_->fill(kUnknown);
    }
    char32_t& code = (*pairs_)[static_cast<std::size_t>(lead << 8 | trail)];
    if (code == kUnknown) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      code = Convert(in, 2);
    }
    return code;
  }

 private:
  static char32_t Convert(const char* in, std::size_t length) {
    std::optional<std::string> utf8 = text::ToUtf8Strict(std::string_view(in, length));
    return utf8 ? FirstCodePoint(*utf8) : kNoCharacter;
  }

  std::array<char32_t, 256> single_{};
  std::unique_ptr<std::array<char32_t, 65536>> pairs_;
};

CodeTable& Table() {
  static CodeTable table;
  return table;
}

bool IsBlank(char32_t code) { return code == U' '; }

// Whether a line may break between `before` and `after`: at a blank, and
// on either side of a full-width character.
bool MayBreakBetween(const Glyph& before, const Glyph& after) {
  return IsBlank(before.code) || before.width == 2 || after.width == 2;
}

}  // namespace

int CellWidth(char32_t code) { return text::DisplayWidth(code); }

Glyph GlyphAt(std::string_view cp932, std::size_t at) {
  auto lead = static_cast<unsigned char>(cp932[at]);
  Glyph glyph;
  if (text::Cp932CharLength(lead) == 2 && at + 1 < cp932.size()) {
    char32_t code = Table().Two(lead, static_cast<unsigned char>(cp932[at + 1]));
    if (code != kNoCharacter) {
      glyph.code = code;
      glyph.bytes = 2;
      glyph.width = CellWidth(code);
      return glyph;
    }
  }
  char32_t code = lead < 0x80 ? lead : Table().One(lead);
  if (code < 0x20 || code == 0x7F) code = U' ';
  glyph.code = code;
  glyph.bytes = 1;
  glyph.width = CellWidth(code);
  return glyph;
}

std::vector<Glyph> Glyphs(std::string_view cp932) {
  std::vector<Glyph> glyphs;
  glyphs.reserve(cp932.size());
  for (std::size_t at = 0; at < cp932.size();) {
    Glyph g = GlyphAt(cp932, at);
    glyphs.push_back(g);
    at += static_cast<std::size_t>(g.bytes);
  }
  return glyphs;
}

int CellWidth(std::string_view cp932) {
  int cells = 0;
  for (std::size_t at = 0; at < cp932.size();) {
    Glyph g = GlyphAt(cp932, at);
    cells += g.width;
    at += static_cast<std::size_t>(g.bytes);
  }
  return cells;
}

std::size_t BytesThatFit(std::string_view cp932, int cells, bool* cut) {
  int used = 0;
  std::size_t at = 0;
  while (at < cp932.size()) {
    Glyph g = GlyphAt(cp932, at);
    if (used + g.width > cells) break;
    used += g.width;
    at += static_cast<std::size_t>(g.bytes);
  }
  if (cut != nullptr) *cut = at < cp932.size();
  return at;
}

std::vector<TextLine> LayOutLines(std::string_view cp932, int width) {
  std::vector<TextLine> lines;
  std::size_t lineStart = 0;
  auto wrap = [&](std::size_t begin, std::size_t end) {
    if (width <= 0) {
      lines.push_back({begin, end});
      return;
    }
    std::size_t start = begin;
    int used = 0;
    std::size_t breakAt = 0;  // the last place the line may break, 0: none
    Glyph previous;
    bool havePrevious = false;
    for (std::size_t at = begin; at < end;) {
      Glyph g = GlyphAt(cp932, at);
      if (havePrevious && at > start && MayBreakBetween(previous, g)) breakAt = at;
      // Blanks may hang past the edge: they end the line they are on.
      if (used + g.width > width && !IsBlank(g.code) && at > start) {
        std::size_t cutAt = breakAt > start ? breakAt : at;
        lines.push_back({start, cutAt});
        start = cutAt;
        used = CellWidth(cp932.substr(start, at - start));
        breakAt = 0;
      }
      used += g.width;
      previous = g;
      havePrevious = true;
      at += static_cast<std::size_t>(g.bytes);
    }
    lines.push_back({start, end});
  };
  for (std::size_t at = 0; at < cp932.size();) {
    char c = cp932[at];
    if (c == '\r' || c == '\n') {
      wrap(lineStart, at);
      at += (c == '\r' && at + 1 < cp932.size() && cp932[at + 1] == '\n') ? 2 : 1;
      lineStart = at;
      continue;
    }
    at += static_cast<std::size_t>(GlyphAt(cp932, at).bytes);
  }
  wrap(lineStart, cp932.size());
  return lines;
}

std::string Utf8Of(char32_t code) { return text::Utf8Of(code); }

std::optional<std::string> TypedToCp932(char32_t code) {
  if (code < 0x20 || code == 0x7F || code > 0x10FFFF) return std::nullopt;
  return text::ToCp932Strict(Utf8Of(code));
}

}  // namespace platform::dialog::terminal
