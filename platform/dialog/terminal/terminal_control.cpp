#include "platform/dialog/terminal/terminal_control.h"

#include <algorithm>

#include "platform/dialog/terminal/glyphs.h"
#include "platform/text/cp932.h"

namespace platform::dialog::terminal {
namespace {

bool Has(const ControlTemplate& t, unsigned style) { return (t.style & style) != 0; }

constexpr int kKeyWidthDu = 20;

// Draws bytes [begin, end) of `text` on `row` of the canvas as a line that
// starts at column `start` (which may lie left of `left`, scrolled away),
// showing only columns [left, left + cols).
void DrawSlice(Canvas& canvas, int row, int left, int cols, int start, std::string_view text, std::size_t begin,
               std::size_t end, Ink ink) {
  int col = start;
  for (std::size_t at = begin; at < end;) {
    Glyph g = GlyphAt(text, at);
    at += static_cast<std::size_t>(g.bytes);
    int offset = col - left;
    if (offset >= cols) break;
    if (offset >= 0 && offset + g.width <= cols)
      canvas.Put(row, col, g.code, g.width, ink);
    else if (offset + g.width > 0)
      // Half of a full-width character at an edge of the view.
      for (int c = std::max(offset, 0); c < std::min(offset + g.width, cols); ++c)
        canvas.Put(row, left + c, U' ', 1, ink);
    col += g.width;
  }
}

// A line that is followed by more than there is room for: cut with the mark.
void DrawCutLine(Canvas& canvas, int row, int col, std::string_view text, Ink ink, int cells) {
  if (cells <= 0) return;
  std::size_t fit = BytesThatFit(text, cells - 1);
  int used = canvas.Text(row, col, text.substr(0, fit), ink, cells - 1);
  canvas.Put(row, col + used, kCutMark, 1, ink);
}

// Lines of a caption laid out in `cols` cells and drawn in `area`, centred
// across (and down, with `centredDown`) or aligned left or right.
enum class Across { kLeft, kCentre, kRight };

void DrawLines(Canvas& canvas, const CellRect& area, std::string_view text, Across across, bool centredDown, bool wrap,
               Ink ink) {
  if (area.Empty()) return;
  std::vector<TextLine> lines = LayOutLines(text, wrap ? area.cols : 0);
  int shown = std::min(static_cast<int>(lines.size()), area.rows);
  int top = area.row + (centredDown ? (area.rows - shown) / 2 : 0);
  for (int i = 0; i < shown; ++i) {
    const TextLine& line = lines[static_cast<std::size_t>(i)];
    std::string_view part = text.substr(line.begin, line.end - line.begin);
    // Blanks that end a wrapped line take no room.
    while (!part.empty() && part.back() == ' ' && CellWidth(part) > area.cols) part.remove_suffix(1);
    bool more = i == shown - 1 && static_cast<int>(lines.size()) > shown;
    int width = std::min(CellWidth(part) + (more ? 1 : 0), area.cols);
    int col = area.col;
    if (across == Across::kCentre) col += (area.cols - width) / 2;
    if (across == Across::kRight) col += area.cols - width;
    if (more)
      DrawCutLine(canvas, top + i, col, part, ink, std::min(area.cols, CellWidth(part) + 1));
    else
      canvas.Text(top + i, col, part, ink, area.cols - (col - area.col));
  }
}

// The brackets of a push button at both ends of one row: "<" ">" for the
// default button, "[" "]" for any other.
void PutButtonMarks(Canvas& canvas, int row, const CellRect& cells, bool isDefault, Ink ink) {
  canvas.Put(row, cells.col, isDefault ? U'<' : U'[', 1, ink);
  canvas.Put(row, cells.Right() - 1, isDefault ? U'>' : U']', 1, ink);
}

void PaintPushButton(Canvas& canvas, const TerminalControl& c, bool focused, bool isDefault) {
  const ControlTemplate& t = *c.tmpl;
  std::string caption = WithoutAccessMarks(c.caption);
  Ink ink = c.enabled ? Ink::kPlain : Ink::kDim;
  bool multiLine = Has(t, kMultiLine);
  if (c.framed) {
    canvas.Frame(c.cells, c.enabled && (isDefault || focused) ? Ink::kStrong : ink, isDefault);
    CellRect inner{c.cells.row + 1, c.cells.col + 1, c.cells.rows - 2, c.cells.cols - 2};
    Ink text = focused ? Ink::kFocus : ink;
    if (focused) canvas.Fill(inner, U' ', Ink::kFocus);
    DrawLines(canvas, inner, caption, Across::kCentre, true, multiLine, text);
    return;
  }
  Ink text = focused ? Ink::kFocus : ink;
  Ink mark = isDefault && c.enabled && !focused ? Ink::kStrong : text;
  if (multiLine) {
    // Too low for a frame: brackets on every row say that the lines are
    // one button, as the brackets of a one-line button do.
    bool marks = c.cells.cols >= 4;
    int inside = marks ? c.cells.cols - 2 : c.cells.cols;
    int lines = static_cast<int>(LayOutLines(caption, inside).size());
    CellRect area = TextRowsOf(t.rect, lines, true);
    area.col = c.cells.col + (marks ? 1 : 0);
    area.cols = inside;
    if (focused) canvas.Fill(c.cells, U' ', Ink::kFocus);
    if (marks)
      for (int row = c.cells.row; row < c.cells.Bottom(); ++row) PutButtonMarks(canvas, row, c.cells, isDefault, mark);
    DrawLines(canvas, area, caption, Across::kCentre, false, true, text);
    return;
  }
  int width = CellWidth(caption);
  const CellRect& cells = c.cells;
  if (focused) canvas.Fill(cells, U' ', Ink::kFocus);
  // A key of a keypad (a button narrower than two full-width characters
  // and their margins) shows its caption alone, so that keys of a grid look
  // alike whichever way their edges round.
  bool key = t.rect.width < kKeyWidthDu;
  if (!key && width + 2 <= cells.cols) {
    PutButtonMarks(canvas, cells.row, cells, isDefault, mark);
    CellRect inside{cells.row, cells.col + 1, 1, cells.cols - 2};
    DrawLines(canvas, inside, caption, Across::kCentre, false, false, text);
  } else {
    DrawLines(canvas, cells, caption, Across::kCentre, false, false, text);
  }
}

void PaintMarkButton(Canvas& canvas, const TerminalControl& c, bool focused) {
  bool radio = c.tmpl->kind == ControlKind::kRadioButton;
  Ink ink = !c.enabled ? Ink::kDim : focused ? Ink::kFocus : Ink::kPlain;
  const char32_t* mark = radio ? (c.check != 0 ? U"(•)" : U"( )") : (c.check != 0 ? U"[x]" : U"[ ]");
  for (int i = 0; i < 3; ++i) canvas.Put(c.cells.row, c.cells.col + i, mark[i], 1, ink);
  std::string caption = WithoutAccessMarks(c.caption);
  if (caption.empty()) return;
  canvas.Put(c.cells.row, c.cells.col + 3, U' ', 1, ink);
  canvas.Text(c.cells.row, c.cells.col + 4, caption, ink, c.cells.cols - 4);
}

void PaintGroupBox(Canvas& canvas, const TerminalControl& c) {
  Ink ink = c.enabled ? Ink::kPlain : Ink::kDim;
  canvas.Frame(c.cells, ink);
  std::string title = WithoutAccessMarks(c.caption);
  if (title.empty() || c.cells.cols < 4) return;
  int room = c.cells.cols - 2;
  int used = canvas.Text(c.cells.row, c.cells.col + 2, title, ink, room - 2);
  canvas.Put(c.cells.row, c.cells.col + 1, U' ', 1, ink);
  canvas.Put(c.cells.row, c.cells.col + 2 + used, U' ', 1, ink);
}

void PaintStatic(Canvas& canvas, const TerminalControl& c) {
  Ink ink = c.enabled ? Ink::kPlain : Ink::kDim;
  Across across = Has(*c.tmpl, kRightAlign) ? Across::kRight : Across::kLeft;
  DrawLines(canvas, c.cells, WithoutAccessMarks(c.caption), across, false, true, ink);
}

// A scroll bar's track of `length` cells with the thumb where `first` of
// `count` positions is.
int ThumbAt(int length, int first, int count) {
  if (count <= 0 || length <= 1) return 0;
  return std::clamp(first * (length - 1) / count, 0, length - 1);
}

void PaintEdit(Canvas& canvas, const TerminalControl& c, bool focused) {
  const EditText& e = c.edit;
  bool readOnly = c.ReadOnly();
  Ink ground = !c.enabled ? Ink::kDim : readOnly ? (c.framed ? Ink::kPlain : Ink::kFieldDim) : Ink::kField;
  Ink text = !c.enabled ? Ink::kDim : readOnly ? (c.framed ? Ink::kPlain : Ink::kReadOnly) : Ink::kField;
  if (c.framed)
    canvas.Frame(c.cells, !c.enabled ? Ink::kDim : focused ? Ink::kStrong : readOnly ? Ink::kDim : Ink::kPlain);
  else if (focused && readOnly)
    ground = Ink::kFocus;
  canvas.Fill(c.textArea, U' ', ground);
  if (e.Selected()) text = Ink::kSelected;
  int row = c.textArea.row;
  for (const EditText::ShownLine& line : e.Shown()) {
    DrawSlice(canvas, row, c.textArea.col, c.textArea.cols, c.textArea.col + line.col, e.Text(), line.begin, line.end,
              text);
    ++row;
  }
  Ink barInk = c.enabled ? Ink::kPlain : Ink::kDim;
  if (c.vBar) {
    int col = c.framed ? c.cells.Right() - 1 : c.textArea.Right();
    int top = c.framed ? c.cells.row + 1 : c.textArea.row;
    int length = c.framed ? c.cells.rows - 2 : c.textArea.rows;
    int hidden = e.LineCount() - e.ViewRows();
    if (!c.framed)
      for (int r = 0; r < length; ++r) canvas.Put(top + r, col, U'░', 1, barInk);
    if (hidden > 0 && length > 0) canvas.Put(top + ThumbAt(length, e.TopLine(), hidden), col, U'█', 1, barInk);
  }
  if (c.hBar) {
    int row = c.framed ? c.cells.Bottom() - 1 : c.textArea.Bottom();
    int left = c.framed ? c.cells.col + 1 : c.textArea.col;
    int length = c.framed ? c.cells.cols - 2 : c.textArea.cols;
    int hidden = e.ContentCols() - e.ViewCols();
    if (!c.framed)
      for (int col = 0; col < length; ++col) canvas.Put(row, left + col, U'░', 1, barInk);
    if (hidden > 0 && length > 0) canvas.Put(row, left + ThumbAt(length, e.LeftCol(), hidden), U'█', 1, barInk);
  }
}

}  // namespace

bool TerminalControl::IsButton() const {
  return tmpl->kind == ControlKind::kPushButton || tmpl->kind == ControlKind::kRadioButton ||
         tmpl->kind == ControlKind::kCheckBox;
}

std::string WithoutAccessMarks(std::string_view cp932) {
  std::string plain;
  plain.reserve(cp932.size());
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    int length =
        std::min<int>(text::Cp932CharLength(static_cast<unsigned char>(cp932[i])), static_cast<int>(cp932.size() - i));
    if (length == 1 && cp932[i] == '&') {
      if (i + 1 < cp932.size() && cp932[i + 1] == '&') {
        plain += '&';
        ++i;
      }
      continue;
    }
    plain.append(cp932.substr(i, static_cast<std::size_t>(length)));
    i += static_cast<std::size_t>(length) - 1;
  }
  return plain;
}

TerminalControl MakeControl(const ControlTemplate& t) {
  TerminalControl c;
  static_cast<ControlState&>(c) = ControlState::FromTemplate(t);
  CellRect frame = FrameOf(t.rect);
  switch (t.kind) {
    case ControlKind::kGroupBox:
      c.caption = TemplateText(t.text);
      c.framed = true;
      c.cells = frame;
      break;
    case ControlKind::kPushButton:
      c.caption = TemplateText(t.text);
      c.framed = frame.rows >= 3 && frame.cols >= 4;
      if (c.framed) {
        c.cells = frame;
      } else if (Has(t, kMultiLine)) {
        c.cells = TextRowsOf(t.rect, t.rect.height / kUnitsPerRow, true);
      } else {
        c.cells = ColumnsOf(t.rect);
      }
      break;
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox:
      c.caption = TemplateText(t.text);
      c.cells = ColumnsOf(t.rect);
      c.cells.cols = std::max(c.cells.cols, 3);
      break;
    case ControlKind::kStatic:
      c.caption = TemplateText(t.text);
      c.cells = TextRowsOf(t.rect, t.rect.height / kUnitsPerRow, false);
      break;
    case ControlKind::kIcon: c.cells = ColumnsOf(t.rect); break;
    case ControlKind::kEdit: {
      bool multiLine = Has(t, kMultiLine);
      c.edit = EditText({multiLine, multiLine && !Has(t, kAutoHScroll | kHScrollBar), Has(t, kRightAlign)});
      c.edit.SetLimit(t.textLimit);
      c.vBar = Has(t, kVScrollBar);
      c.hBar = Has(t, kHScrollBar);
      c.framed = Has(t, kBorder) && frame.rows >= 3 && frame.cols >= 3;
      if (c.framed) {
        c.cells = frame;
        c.textArea = {frame.row + 1, frame.col + 1, frame.rows - 2, frame.cols - 2};
      } else {
        c.cells = multiLine ? frame : ColumnsOf(t.rect);
        c.textArea = c.cells;
        c.vBar = c.vBar && c.textArea.cols >= 2;
        c.hBar = c.hBar && c.textArea.rows >= 2;
        if (c.vBar) c.textArea.cols -= 1;
        if (c.hBar) c.textArea.rows -= 1;
      }
      c.edit.SetView(c.textArea.rows, c.textArea.cols);
      c.edit.SetText(TemplateText(t.text));
      break;
    }
  }
  return c;
}

void PaintControl(Canvas& canvas, const TerminalControl& control, bool focused, bool isDefault) {
  if (!control.visible) return;
  switch (control.tmpl->kind) {
    case ControlKind::kPushButton: PaintPushButton(canvas, control, focused, isDefault); break;
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox: PaintMarkButton(canvas, control, focused); break;
    case ControlKind::kGroupBox: PaintGroupBox(canvas, control); break;
    case ControlKind::kStatic: PaintStatic(canvas, control); break;
    case ControlKind::kEdit: PaintEdit(canvas, control, focused); break;
    case ControlKind::kIcon: break;
  }
}

}  // namespace platform::dialog::terminal
