// The help viewer of the terminal backend: the help file's text in a frame
// as large as the screen, from its beginning (its contents page), as
// headings and paragraphs (help_text.h). The arrow keys, Page Up, Page
// Down, Home, End, Space and the mouse wheel scroll; Escape, Q or Enter
// closes it. While it is open it has the keyboard and timers keep ticking;
// it closes when the program tells it to quit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/terminal/help_text.h"
#include "platform/dialog/terminal/screen_window.h"
#include "platform/help_viewer.h"

namespace platform::dialog::terminal {

class TerminalBackend;

class TerminalHelpViewer final : public HelpViewer, public ScreenWindow {
 public:
  explicit TerminalHelpViewer(TerminalBackend& backend) : backend_(backend) {}

  // HelpViewer.
  int ShowContents(std::string_view cp932Path) override;
  int Quit() override;

  // ScreenWindow.
  CellSize Needed() const override;
  void Place(const CellRect& desk, bool outermost) override;
  void Draw(Canvas& canvas) override;
  void Take(const Input& input) override;
  std::string ShownTitle() const override { return title_; }

  bool Open() const { return open_; }

 private:
  void Scroll(int lines);

  TerminalBackend& backend_;
  bool open_ = false;
  std::string title_;  // CP932
  std::vector<HelpBlock> blocks_;
  std::vector<HelpLine> lines_;
  int laidOutFor_ = -1;
  int top_ = 0;
  CellRect desk_;
};

}  // namespace platform::dialog::terminal
