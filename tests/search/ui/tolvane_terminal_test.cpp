// The search application's screens on the terminal backend (a pseudo-
// terminal of 120 x 40), compared with their stored captures, so that a
// fault of the layout in cells shows as a difference: the main dialog
// with its keypad, and the settings dialog opened from the menu bar over
// it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/dialog/terminal/terminal_dialog_window.h"
#include "platform/seam.h"
#include "search/ui/app_resources.h"
#include "search/ui/main_dialog.h"
#include "search/ui/resource.h"
#include "search/ui/tolvane_app.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/terminal/pseudo_terminal.h"
#include "tests/support/temp_dir.h"

namespace search::ui {
namespace {

namespace dlg = platform::dialog;
using terminal_test::PseudoTerminal;

std::string GoldenPath(const std::string& name) {
  const char* top = std::getenv("YUBIN_SOURCE_DIR");
  return std::string(top != nullptr ? top : ".") + "/tests/search/ui/golden/" + name;
}

// The stored capture; with YUBIN_RENEW_GOLDEN set, `capture` replaces it
// first.
std::string Golden(const std::string& name, const std::string& capture) {
  if (std::getenv("YUBIN_RENEW_GOLDEN") != nullptr) std::ofstream(GoldenPath(name), std::ios::binary) << capture;
  std::ifstream in(GoldenPath(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The screen below the title line (which the marquee keeps changing).
std::string Capture(PseudoTerminal& tty) {
  std::string text;
  std::vector<std::string> lines = tty.Backend().Screen().Lines();
  for (std::size_t i = 1; i < lines.size(); ++i) text += lines[i] + "\n";
  return text;
}

TEST(TolvaneOnTheTerminal, TheKeypadAndTheSettingsDialogMatchTheirCaptures) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  RegisterAppResources();
  // Settings naming a data directory that is not there: the screens are
  // the same either way.
  std::string record = platform::text::Cp932("/srv/yubin/Zip_Code/");
  record.resize(500, '\0');
  temp.Write("Tolvane.ini", record);
  TolvaneApp app;
  PseudoTerminal tty(40, 120);
  platform::ScopedOverride<dlg::Backend*> inForce(dlg::BackendInForce(), &tty.Backend());
  MainDialog dialog;
  std::string main;
  std::string settings;
  int step = 0;
  tty.Backend().SetIdleHook([&] {
    if (tty.InputPending()) return 0;
    auto* top = dynamic_cast<dlg::terminal::TerminalDialogWindow*>(tty.Backend().Top());
    int shown = top != nullptr ? top->TheDialog().Template().id : 0;
    if (step == 0 && shown == kMainDialog) {
      main = Capture(tty);
      // The menu bar's second item.
      tty.Send(std::string(PseudoTerminal::kF10) + std::string(PseudoTerminal::kRight) +
               std::string(PseudoTerminal::kEnter));
      step = 1;
    } else if (step == 1 && shown == kSettingsDialog) {
      settings = Capture(tty);
      tty.Send(PseudoTerminal::kEscape);
      step = 2;
    } else if (step == 2 && shown == kMainDialog) {
      dialog.EndDialog(dlg::kIdOk);
    }
    return 50;
  });
  dialog.DoModal();
  EXPECT_EQ(step, 2);
  EXPECT_EQ(main, Golden("terminal_main.txt", main)) << main;
  EXPECT_EQ(settings, Golden("terminal_settings.txt", settings)) << settings;
}

// The screen's lines that show part of `line` (UTF-8) of the result box.
std::vector<std::string> RowsShowing(PseudoTerminal& tty, const std::string& part) {
  std::vector<std::string> rows;
  for (const std::string& row : tty.Backend().Screen().Lines())
    if (row.find(part) != std::string::npos) rows.push_back(row);
  return rows;
}

// The result box of the Sapporo example scrolls sideways: it opens on the
// lines' ends, right-aligned; the arrow keys (while it has the focus) and
// the wheel with Shift move it, and scrolled fully left every record's
// prefecture reading is whole.
TEST(TolvaneOnTheTerminal, TheResultBoxScrollsAcrossToEveryLinesStartAndEnd) {
  TempDir temp;
  ASSERT_FALSE(temp.path().empty());
  RegisterAppResources();
  std::string record = platform::text::Cp932("/srv/yubin/Zip_Code/");
  record.resize(500, '\0');
  temp.Write("Tolvane.ini", record);
  TolvaneApp app;
  PseudoTerminal tty(40, 120);
  platform::ScopedOverride<dlg::Backend*> inForce(dlg::BackendInForce(), &tty.Backend());
  MainDialog dialog;
  const std::string records =
      "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0600051 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾋｶﾞｼ\r\n(南一条東)\r\n"
      "ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼﾁﾕｳｵｳｸ (^O^)=>>> 0640801 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ(20-28ﾁﾖｳﾒ)\r\n(南一条西（２０～２８丁目）)\r\n";
  std::vector<std::vector<std::string>> seen;  // kana lines, then kanji lines, at each step
  auto look = [&] {
    std::vector<std::string> kana = RowsShowing(tty, "(^O^)");
    std::vector<std::string> kanji = RowsShowing(tty, "南一条");
    kana.insert(kana.end(), kanji.begin(), kanji.end());
    seen.push_back(kana);
  };
  int step = 0;
  tty.Backend().SetIdleHook([&] {
    if (tty.InputPending()) return 0;
    auto* top = dynamic_cast<dlg::terminal::TerminalDialogWindow*>(tty.Backend().Top());
    if (top == nullptr || top->TheDialog().Template().id != kMainDialog || step > 3) return 50;
    if (step == 0) {
      dialog.SetText(kResultEdit, platform::text::Cp932(records));
      step = 1;
      return 50;
    }
    if (step == 1) {
      look();
      // A click on the first kanji line gives the box the focus.
      const std::vector<std::string> lines = tty.Backend().Screen().Lines();
      for (std::size_t row = 0; row < lines.size(); ++row)
        if (lines[row].find("(南一条東)") != std::string::npos)
          tty.Send(PseudoTerminal::Click(static_cast<int>(row), 60));
      std::string left;
      for (int i = 0; i < 10; ++i) left += PseudoTerminal::kLeft;
      tty.Send(left);
    } else if (step == 2) {
      look();
      // The wheel turned down three times with Shift, over the box.
      for (int i = 0; i < 3; ++i) tty.Send("\x1b[<69;30;30M");
    } else if (step == 3) {
      look();
      dialog.EndDialog(dlg::kIdOk);
    }
    ++step;
    return 50;
  });
  dialog.DoModal();
  ASSERT_EQ(seen.size(), 3u);
  const std::vector<std::string>& atRight = seen[0];
  const std::vector<std::string>& atLeft = seen[1];
  ASSERT_EQ(atRight.size(), 4u);
  // Kana lines first: a short kanji line is out of view there.
  ASSERT_GE(atLeft.size(), 2u);
  // At the right end every line ends against the box's right edge.
  for (const char* end : {"ﾐﾅﾐ1ｼﾞﾖｳﾋｶﾞｼ │", "(20-28ﾁﾖｳﾒ) │", "(南一条東) │", "丁目）) │"}) {
    bool found = false;
    for (const std::string& row : atRight) found = found || row.find(end) != std::string::npos;
    EXPECT_TRUE(found) << end;
  }
  // At the left end both records are drawn from their first character (the
  // shorter one right-aligned to the longer).
  EXPECT_NE(atLeft[0].find("ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼ"), std::string::npos) << atLeft[0];
  EXPECT_NE(atLeft[1].find("ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼ"), std::string::npos) << atLeft[1];
  EXPECT_EQ(seen[2], atRight);
}

}  // namespace
}  // namespace search::ui
