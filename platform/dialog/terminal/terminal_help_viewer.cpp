#include "platform/dialog/terminal/terminal_help_viewer.h"

#include <algorithm>
#include <optional>

#include "platform/dialog/terminal/terminal_backend.h"
#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

const char kKeysHint[] = " ↑↓ PgUp PgDn: スクロール  Esc: 閉じる ";

// The last component of a CP932 path.
std::string FileName(std::string_view cp932Path) {
  bool absolute = false;
  std::vector<std::string> parts = files::SplitPath(cp932Path, absolute);
  return parts.empty() ? std::string(cp932Path) : parts.back();
}

}  // namespace

int TerminalHelpViewer::ShowContents(std::string_view cp932Path) {
  title_ = text::Cp932("ヘルプ - ") + FileName(cp932Path);
  std::optional<std::string> bytes = files::ReadWholeHostFile(files::HostPath(cp932Path));
  if (!bytes) {
    std::string line = "ヘルプ ファイル「" + text::ToUtf8(cp932Path) + "」を開けません。";
    blocks_ = {HelpBlock{HelpBlock::Kind::kText, line, 0, {}}};
  } else {
    // UTF-8 where the bytes are, else CP932.
    blocks_ = HelpBlocks(text::IsValidUtf8(*bytes) ? *bytes : text::ToUtf8(*bytes));
  }
  laidOutFor_ = -1;
  top_ = 0;
  if (open_) return 1;
  open_ = true;
  backend_.RunWindow(*this, [this] { return !open_; });
  open_ = false;
  return 1;
}

int TerminalHelpViewer::Quit() {
  open_ = false;
  return 1;
}

CellSize TerminalHelpViewer::Needed() const { return {desk_.rows, desk_.cols}; }

void TerminalHelpViewer::Place(const CellRect& desk, bool) {
  desk_ = desk;
  int width = std::max(4, desk.cols - 4);
  if (width != laidOutFor_) {
    lines_ = LayOutHelp(blocks_, width);
    laidOutFor_ = width;
  }
  Scroll(0);
}

void TerminalHelpViewer::Scroll(int lines) {
  int page = std::max(1, desk_.rows - 2);
  top_ = std::clamp(top_ + lines, 0, std::max(0, static_cast<int>(lines_.size()) - page));
}

void TerminalHelpViewer::Draw(Canvas& canvas) {
  canvas.SetView(desk_, 0, 0);
  canvas.Fill(desk_, U' ', Ink::kPlain);
  canvas.Frame(desk_, Ink::kPlain);
  if (desk_.cols > 6) {
    canvas.Put(desk_.row, desk_.col + 1, U' ', 1, Ink::kPlain);
    int used = canvas.Text(desk_.row, desk_.col + 2, title_, Ink::kStrong, desk_.cols - 5);
    canvas.Put(desk_.row, desk_.col + 2 + used, U' ', 1, Ink::kPlain);
  }
  int page = std::max(0, desk_.rows - 2);
  for (int i = 0; i < page && top_ + i < static_cast<int>(lines_.size()); ++i) {
    const HelpLine& line = lines_[static_cast<std::size_t>(top_ + i)];
    canvas.Utf8(desk_.row + 1 + i, desk_.col + 2, line.text, line.strong ? Ink::kStrong : Ink::kPlain, desk_.cols - 4);
  }
  // Where the page stands, and the keys, in the bottom edge.
  int total = static_cast<int>(lines_.size());
  std::string where = " " + std::to_string(std::min(total, top_ + page)) + "/" + std::to_string(total) + " ";
  int bottom = desk_.Bottom() - 1;
  int used = canvas.Utf8(bottom, desk_.col + 2, kKeysHint, Ink::kPlain, desk_.cols - 4);
  int whereCol = desk_.Right() - 2 - static_cast<int>(where.size());
  if (whereCol > desk_.col + 2 + used)
    canvas.Utf8(bottom, whereCol, where, Ink::kPlain, static_cast<int>(where.size()));
  canvas.ResetView();
}

void TerminalHelpViewer::Take(const Input& input) {
  int page = std::max(1, desk_.rows - 3);
  if (input.kind == Input::Kind::kMouse) {
    if (input.mouse == Input::Mouse::kWheelUp) Scroll(-3);
    if (input.mouse == Input::Mouse::kWheelDown) Scroll(3);
    return;
  }
  if (input.kind == Input::Kind::kChar) {
    if (input.code == U' ') Scroll(page);
    if (input.code == U'q' || input.code == U'Q') open_ = false;
    return;
  }
  switch (input.key) {
    case Key::kUp: Scroll(-1); return;
    case Key::kDown: Scroll(1); return;
    case Key::kPageUp: Scroll(-page); return;
    case Key::kPageDown: Scroll(page); return;
    case Key::kHome: top_ = 0; return;
    case Key::kEnd: Scroll(static_cast<int>(lines_.size())); return;
    case Key::kEscape:
    case Key::kEnter:
    case Key::kAltF4: open_ = false; return;
    default: return;
  }
}

}  // namespace platform::dialog::terminal
