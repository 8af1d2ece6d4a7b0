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

}  // namespace
}  // namespace search::ui
