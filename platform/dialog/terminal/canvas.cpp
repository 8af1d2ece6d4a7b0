#include "platform/dialog/terminal/canvas.h"

#include <algorithm>

#include "platform/dialog/terminal/glyphs.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

// The code points of a UTF-8 text (a malformed byte becomes U+FFFD).
std::vector<char32_t> CodePoints(std::string_view utf8) {
  std::vector<char32_t> codes;
  for (std::size_t i = 0; i < utf8.size();) {
    text::Decoded d = text::DecodeUtf8At(utf8, i);
    codes.push_back(d.code);
    i += d.length;
  }
  return codes;
}

}  // namespace

Canvas::Canvas(int rows, int cols) { Resize(rows, cols); }

void Canvas::Resize(int rows, int cols) {
  rows_ = std::max(0, rows);
  cols_ = std::max(0, cols);
  cells_.assign(static_cast<std::size_t>(rows_ * cols_), Cell{});
  ResetView();
}

void Canvas::Clear() {
  std::fill(cells_.begin(), cells_.end(), Cell{});
  ResetView();
}

void Canvas::SetView(CellRect clip, int originRow, int originCol) {
  int top = std::max(0, clip.row);
  int left = std::max(0, clip.col);
  int bottom = std::min(rows_, clip.Bottom());
  int right = std::min(cols_, clip.Right());
  clip_ = {top, left, std::max(0, bottom - top), std::max(0, right - left)};
  originRow_ = originRow;
  originCol_ = originCol;
}

void Canvas::ResetView() { SetView({0, 0, rows_, cols_}, 0, 0); }

void Canvas::Unpair(int row, int col) {
  Cell& cell = Mutable(row, col);
  if (cell.tail && col > 0) {
    Cell& head = Mutable(row, col - 1);
    head = Cell{U' ', head.ink};
  }
  if (cell.wide && col + 1 < cols_) {
    Cell& tail = Mutable(row, col + 1);
    tail = Cell{U' ', tail.ink};
  }
}

bool Canvas::Put(int row, int col, char32_t code, int width, Ink ink) {
  int r = row + originRow_;
  int c = col + originCol_;
  if (!clip_.Contains(r, c)) return false;
  if (width == 2 && !clip_.Contains(r, c + 1)) {
    // Half of it would stand outside: a blank keeps the cell.
    Unpair(r, c);
    Mutable(r, c) = Cell{U' ', ink};
    return false;
  }
  Unpair(r, c);
  if (width == 2) Unpair(r, c + 1);
  Mutable(r, c) = Cell{code, ink, width == 2, false};
  if (width == 2) Mutable(r, c + 1) = Cell{U' ', ink, false, true};
  return true;
}

int Canvas::Text(int row, int col, std::string_view cp932, Ink ink, int cells) {
  if (cells <= 0) return 0;
  // A text that a program cut after the first byte of a two-byte character
  // (a scrolling title) ends where that character would have begun.
  if (!cp932.empty() && text::Cp932CharLength(static_cast<unsigned char>(cp932.back())) == 2) {
    std::size_t at = 0;
    while (at < cp932.size()) {
      std::size_t next = at + static_cast<std::size_t>(GlyphAt(cp932, at).bytes);
      if (next == cp932.size() && next - at == 1) cp932.remove_suffix(1);
      at = next;
    }
  }
  bool cut = false;
  std::size_t fit = BytesThatFit(cp932, cells, &cut);
  if (cut) fit = BytesThatFit(cp932, cells - 1);
  int used = 0;
  for (std::size_t at = 0; at < fit;) {
    Glyph g = GlyphAt(cp932, at);
    Put(row, col + used, g.code, g.width, ink);
    used += g.width;
    at += static_cast<std::size_t>(g.bytes);
  }
  if (cut) {
    Put(row, col + used, kCutMark, 1, ink);
    ++used;
  }
  return used;
}

int Canvas::Utf8(int row, int col, std::string_view utf8, Ink ink, int cells) {
  if (cells <= 0) return 0;
  std::vector<char32_t> codes = CodePoints(utf8);
  int total = 0;
  for (char32_t code : codes) total += CellWidth(code);
  int room = total > cells ? cells - 1 : cells;
  int used = 0;
  for (char32_t code : codes) {
    int width = CellWidth(code);
    if (used + width > room) break;
    Put(row, col + used, code, width, ink);
    used += width;
  }
  if (total > cells) {
    Put(row, col + used, kCutMark, 1, ink);
    ++used;
  }
  return used;
}

void Canvas::Fill(const CellRect& rect, char32_t code, Ink ink) {
  for (int r = rect.row; r < rect.Bottom(); ++r)
    for (int c = rect.col; c < rect.Right(); ++c) Put(r, c, code, 1, ink);
}

void Canvas::Paint(const CellRect& rect, Ink ink) {
  for (int r = rect.row; r < rect.Bottom(); ++r)
    for (int c = rect.col; c < rect.Right(); ++c) {
      int sr = r + originRow_;
      int sc = c + originCol_;
      if (clip_.Contains(sr, sc)) Mutable(sr, sc).ink = ink;
    }
}

void Canvas::Frame(const CellRect& rect, Ink ink, bool doubleLine) {
  if (rect.rows < 2 || rect.cols < 2) return;
  char32_t h = doubleLine ? U'═' : U'─';
  char32_t v = doubleLine ? U'║' : U'│';
  int top = rect.row;
  int bottom = rect.Bottom() - 1;
  int left = rect.col;
  int right = rect.Right() - 1;
  for (int c = left + 1; c < right; ++c) {
    Put(top, c, h, 1, ink);
    Put(bottom, c, h, 1, ink);
  }
  for (int r = top + 1; r < bottom; ++r) {
    Put(r, left, v, 1, ink);
    Put(r, right, v, 1, ink);
  }
  Put(top, left, doubleLine ? U'╔' : U'┌', 1, ink);
  Put(top, right, doubleLine ? U'╗' : U'┐', 1, ink);
  Put(bottom, left, doubleLine ? U'╚' : U'└', 1, ink);
  Put(bottom, right, doubleLine ? U'╝' : U'┘', 1, ink);
}

std::vector<std::string> Canvas::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(rows_));
  for (int r = 0; r < rows_; ++r) {
    std::string line;
    for (int c = 0; c < cols_; ++c) {
      const Cell& cell = At(r, c);
      if (cell.tail) continue;
      line += Utf8Of(cell.code);
    }
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace platform::dialog::terminal
