#include "platform/dialog/headless/text_render.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/text/cp932.h"

namespace platform::dialog::headless {
namespace {

// A grid of cells; a two-byte character fills a cell and marks the next as
// its second half, so that overwriting either half clears the other.
class Grid {
 public:
  Grid(int rows, int cols) : rows_(rows), cols_(cols), cells_(static_cast<size_t>(rows * cols)) {}

  int Cols() const { return cols_; }

  // Writes one CP932 character; false when it does not fit.
  bool Put(int row, int col, std::string_view ch) {
    int width = static_cast<int>(ch.size());
    if (row < 0 || row >= rows_ || col < 0 || col + width > cols_) return false;
    for (int i = 0; i < width; ++i) Clear(row, col + i);
    Cell& first = At(row, col);
    first.glyph = text::ToUtf8(ch);
    if (width == 2) At(row, col + 1).secondHalf = true;
    return true;
  }

  // Writes a CP932 text from `col`, at most `width` cells.
  void Write(int row, int col, std::string_view cp932, int width) {
    int used = 0;
    size_t i = 0;
    while (i < cp932.size()) {
      size_t n = std::min<size_t>(static_cast<size_t>(text::Cp932CharLength(static_cast<unsigned char>(cp932[i]))),
                                  cp932.size() - i);
      if (used + static_cast<int>(n) > width) break;
      Put(row, col + used, cp932.substr(i, n));
      used += static_cast<int>(n);
      i += n;
    }
  }

  std::string Lines() const {
    std::string out;
    for (int r = 0; r < rows_; ++r) {
      std::string line;
      for (int c = 0; c < cols_; ++c) {
        const Cell& cell = cells_[static_cast<size_t>(r * cols_ + c)];
        if (cell.secondHalf) continue;
        line += cell.glyph.empty() ? std::string(" ") : cell.glyph;
      }
      line.erase(line.find_last_not_of(' ') + 1);
      out += line;
      out += '\n';
    }
    return out;
  }

 private:
  struct Cell {
    std::string glyph;
    bool secondHalf = false;
  };

  Cell& At(int row, int col) { return cells_[static_cast<size_t>(row * cols_ + col)]; }

  void Clear(int row, int col) {
    Cell& cell = At(row, col);
    if (cell.secondHalf && col > 0) At(row, col - 1).glyph = " ";
    if (!cell.secondHalf && col + 1 < cols_ && At(row, col + 1).secondHalf) {
      At(row, col + 1).secondHalf = false;
      At(row, col + 1).glyph = " ";
    }
    cell.glyph.clear();
    cell.secondHalf = false;
  }

  int rows_;
  int cols_;
  std::vector<Cell> cells_;
};

// The text broken into lines at CR LF or LF, and at `width` cells.
std::vector<std::string> Wrap(std::string_view cp932, int width) {
  std::vector<std::string> lines(1);
  int used = 0;
  size_t i = 0;
  while (i < cp932.size()) {
    if (cp932[i] == '\r' || cp932[i] == '\n') {
      i += (cp932[i] == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') ? 2 : 1;
      lines.emplace_back();
      used = 0;
      continue;
    }
    size_t n = std::min<size_t>(static_cast<size_t>(text::Cp932CharLength(static_cast<unsigned char>(cp932[i]))),
                                cp932.size() - i);
    if (width > 0 && used + static_cast<int>(n) > width && used > 0) {
      lines.emplace_back();
      used = 0;
    }
    lines.back().append(cp932.substr(i, n));
    used += static_cast<int>(n);
    i += n;
  }
  return lines;
}

int Cells(std::string_view cp932) { return static_cast<int>(cp932.size()); }

// The end of a CP932 line that fits in `cells`, from a character boundary.
std::string_view LastCells(std::string_view cp932, int cells) {
  size_t i = 0;
  while (Cells(cp932.substr(i)) > cells)
    i += std::min<size_t>(static_cast<size_t>(text::Cp932CharLength(static_cast<unsigned char>(cp932[i]))),
                          cp932.size() - i);
  return cp932.substr(i);
}

struct Box {
  int row, col, rows, cols;
};

void DrawFrame(Grid& g, const Box& b, std::string_view title) {
  for (int c = b.col; c < b.col + b.cols; ++c) {
    g.Put(b.row, c, "-");
    if (b.rows > 1) g.Put(b.row + b.rows - 1, c, "-");
  }
  for (int r = b.row; r < b.row + b.rows; ++r) {
    g.Put(r, b.col, r == b.row || r == b.row + b.rows - 1 ? "+" : "|");
    g.Put(r, b.col + b.cols - 1, r == b.row || r == b.row + b.rows - 1 ? "+" : "|");
  }
  if (!title.empty()) g.Write(b.row, b.col + 2, title, b.cols - 4);
}

void DrawControl(Grid& g, const HeadlessDialogWindow::Control& c, int origin, int defaultButton) {
  const ControlTemplate& t = *c.tmpl;
  Box b;
  b.col = t.rect.x / 4 + 1;
  b.row = t.rect.y / 8 + origin;
  b.cols = std::max(1, (t.rect.x + t.rect.width) / 4 - t.rect.x / 4);
  b.rows = std::max(1, (t.rect.y + t.rect.height) / 8 - t.rect.y / 8);
  int middle = b.row + (b.rows - 1) / 2;
  switch (t.kind) {
    case ControlKind::kGroupBox: DrawFrame(g, b, c.text); break;
    case ControlKind::kPushButton: {
      bool isDefault = t.id == defaultButton;
      std::vector<std::string> lines =
          (t.style & kMultiLine) ? Wrap(c.text, b.cols - 2) : std::vector<std::string>{c.text};
      int first = (t.style & kMultiLine) ? b.row : middle;
      for (size_t i = 0; i < lines.size() && static_cast<int>(i) < b.rows; ++i) {
        int row = first + static_cast<int>(i);
        g.Put(row, b.col, isDefault ? "<" : "[");
        g.Put(row, b.col + b.cols - 1, isDefault ? ">" : "]");
        g.Write(row, b.col + 1, lines[i], b.cols - 2);
      }
      break;
    }
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox: {
      bool radio = t.kind == ControlKind::kRadioButton;
      std::string mark = radio ? (c.check ? "(*) " : "( ) ") : (c.check ? "[x] " : "[ ] ");
      g.Write(middle, b.col, mark + c.text, b.cols);
      break;
    }
    case ControlKind::kStatic: {
      std::vector<std::string> lines = Wrap(c.text, b.cols);
      for (size_t i = 0; i < lines.size() && static_cast<int>(i) < b.rows; ++i) {
        int indent = (t.style & kRightAlign) ? std::max(0, b.cols - Cells(lines[i])) : 0;
        g.Write(b.row + static_cast<int>(i), b.col + indent, lines[i], b.cols - indent);
      }
      break;
    }
    case ControlKind::kEdit: {
      bool multi = (t.style & kMultiLine) != 0;
      int firstRow = multi ? b.row : middle;
      int rows = multi ? b.rows : 1;
      for (int r = firstRow; r < firstRow + rows; ++r)
        for (int col = b.col; col < b.col + b.cols; ++col) g.Put(r, col, ".");
      std::vector<std::string> lines = multi ? Wrap(c.text, 0) : std::vector<std::string>{c.text};
      for (size_t i = 0; i < lines.size() && static_cast<int>(i) < rows; ++i) {
        std::string_view line = lines[i];
        // Right-aligned lines are drawn as the edit first shows them,
        // scrolled to their ends: a line wider than the edit loses whole
        // characters at its start.
        if (t.style & kRightAlign) line = LastCells(line, b.cols);
        int indent = (t.style & kRightAlign) ? std::max(0, b.cols - Cells(line)) : 0;
        g.Write(firstRow + static_cast<int>(i), b.col + indent, line, b.cols - indent);
      }
      break;
    }
    case ControlKind::kIcon: g.Write(b.row, b.col, "{" + std::to_string(t.resource) + "}", b.cols); break;
  }
}

}  // namespace

std::string RenderText(const HeadlessDialogWindow& window) {
  const DialogTemplate& t = window.Template();
  bool hasMenu = t.menu != nullptr && !t.menu->items.empty();
  int origin = hasMenu ? 2 : 1;
  int cols = (t.width + 3) / 4 + 2;
  int rows = (t.height + 7) / 8 + origin + 1;
  Grid g(rows, cols);
  DrawFrame(g, {0, 0, rows, cols}, text::WholeCharacters(window.Title()));
  if (hasMenu) {
    std::string bar;
    for (const MenuItem& item : t.menu->items) bar += " " + TemplateText(item.text) + " ";
    g.Write(1, 1, bar, cols - 2);
  }
  // Frames first, so that what stands inside them is drawn over them.
  for (const auto& c : window.Controls())
    if (c.visible && c.tmpl->kind == ControlKind::kGroupBox) DrawControl(g, c, origin, kNoId);
  for (const auto& c : window.Controls())
    if (c.visible && c.tmpl->kind != ControlKind::kGroupBox) DrawControl(g, c, origin, window.DefaultButtonShown());
  return g.Lines();
}

}  // namespace platform::dialog::headless
