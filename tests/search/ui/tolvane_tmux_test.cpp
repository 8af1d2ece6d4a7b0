// The real tolvane in a terminal: a tmux server of the test's own runs it
// in a 120 x 40 pane on the bundled data, and the test keys the Sapporo
// example with arrow keys and Enter as a person would, reads the code from
// the pane, resizes the pane, and ends the program with Escape and with
// Ctrl+C, each time checking that the shell gets a sane terminal back.
// Skipped where tmux is not installed.
#include <gtest/gtest.h>
#include <signal.h>  // kill, SIGUSR1, SIGALRM, SIGRTMIN
#include <unistd.h>  // getpid

#include <chrono>
#include <cstdio>  // popen
#include <functional>
#include <string>
#include <thread>

#include "tests/search/ui/tolvane_test_support.h"
#include "tests/support/temp_dir.h"

namespace search::ui {
namespace {

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

class TolvaneInTmux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Output("tmux -V").rfind("tmux ", 0) != 0) GTEST_SKIP() << "tmux is not installed";
    ASSERT_FALSE(temp_.path().empty());
    std::string data = testing::BundledDataDirectory();
    ASSERT_FALSE(data.empty());
    testing::WriteSettingsFile(data);
    // A plain shell in the pane, with a prompt of its own.
    Output(tmux_ + " -f /dev/null new-session -d -s t -x 120 -y 40 -c '" + temp_.path() +
           "' \"env -i PATH=/usr/bin:/bin HOME=/tmp LANG=C.UTF-8 TERM=tmux-256color PS1='prompt$ ' sh\"");
  }
  void TearDown() override { Output(tmux_ + " kill-server"); }

  void Keys(const std::string& keys) { Output(tmux_ + " send-keys -t t " + keys); }
  std::string Pane() { return Output(tmux_ + " capture-pane -p -t t"); }
  std::string Flags() {
    return Output(tmux_ +
                  " display-message -p -t t "
                  "'alternate=#{alternate_on} cursor=#{cursor_flag} mouse=#{mouse_any_flag} "
                  "keypad=#{keypad_cursor_flag}'");
  }
  // Whether the pane comes to hold what `holds` looks for; looked at every
  // 50 ms, and given up after a minute (a failure, not a wait).
  bool Until(const std::function<bool(const std::string& pane)>& holds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!holds(Pane())) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }
  bool Shows(const std::string& text) {
    return Until([&](const std::string& pane) { return pane.find(text) != std::string::npos; });
  }
  bool Hides(const std::string& text) {
    return Until([&](const std::string& pane) { return pane.find(text) == std::string::npos; });
  }
  static std::string TitleLine(const std::string& pane) { return pane.substr(0, pane.find('\n')); }
  static std::string BelowTitle(const std::string& pane) { return pane.substr(pane.find('\n') + 1); }
  // The pane below its title line, whole: a look may come while the
  // program's output is still on its way. The marquee changes the title
  // at every tick, in output that follows what was drawn before it, so
  // once the title has changed twice since a look, all that was drawn
  // by then is on the pane.
  std::string Drawn() {
    std::string title = TitleLine(Pane());
    for (int change = 0; change < 2; ++change) {
      EXPECT_TRUE(Until([&](const std::string& pane) { return TitleLine(pane) != title; })) << "the marquee stopped";
      title = TitleLine(Pane());
    }
    return BelowTitle(Pane());
  }
  void StartTolvane() {
    ASSERT_TRUE(Shows("prompt$")) << Pane();
    Keys("'" + std::string(TOLVANE_PATH) + "' Enter");
    ASSERT_TRUE(Shows("検索開始")) << Pane();
  }
  // The program's status, and the terminal as the shell left it.
  void ExpectSaneShell(const std::string& ended) {
    // The shell's screen is back (the dialog's is another) before anything
    // is typed: a key straight after Escape would read as Alt with it.
    ASSERT_TRUE(Shows("prompt$")) << Pane();
    Keys("'echo ended=$?' Enter");
    ASSERT_TRUE(Shows(ended)) << Pane();
    EXPECT_EQ(Flags(), "alternate=0 cursor=1 mouse=0 keypad=0\n");
    // The modes are read once stty has written them all.
    Keys("'stty -a; echo stty=$?' Enter");
    ASSERT_TRUE(Shows("stty=0")) << Pane();
    std::string pane = Pane();
    EXPECT_EQ(pane.find("-icanon"), std::string::npos) << pane;
    EXPECT_EQ(pane.find("-echo "), std::string::npos) << pane;
    EXPECT_EQ(pane.find("│"), std::string::npos) << "a frame left on the shell's screen:\n" << pane;
  }

  TempDir temp_;
  std::string tmux_ = "tmux -L yubin-term-test-" + std::to_string(getpid());
};

TEST_F(TolvaneInTmux, TheSapporoExampleKeyedWithArrowsShowsItsCodeAndEscapeEndsCleanly) {
  StartTolvane();
  // From 終了 (Shift+Tab from the first control) up into the keypad: ほ,
  // さ, ち, スキップ, み, な, then 検索開始.
  Keys("BTab Up Up Up Up Left Left Left Enter");
  Keys("Up Up Up Up Right Right Right Enter");
  Keys("Left Down Enter");
  Keys("Down Down Down Down Left Left Enter");
  Keys("Up Up Up Up Up Right Right Right Right Down Enter");
  Keys("Up Right Right Enter");
  Keys("Down Down Down Down Down Down Down Left Enter");
  ASSERT_TRUE(Shows("0600061")) << Pane();
  std::string before = Drawn();

  // Smaller than the dialog: scrolled, with the note; back: as it was,
  // once the program has drawn it all again.
  Output(tmux_ + " resize-window -t t -x 80 -y 24");
  EXPECT_TRUE(Shows("の端末が必要です")) << Pane();
  Output(tmux_ + " resize-window -t t -x 120 -y 40");
  EXPECT_TRUE(Hides("の端末が必要です")) << Pane();
  EXPECT_TRUE(Until([&](const std::string& pane) { return BelowTitle(pane) == before; })) << "before:\n"
                                                                                          << before << "now:\n"
                                                                                          << BelowTitle(Pane());

  Keys("Escape");
  ExpectSaneShell("ended=0");
}

TEST_F(TolvaneInTmux, CtrlCGivesTheTerminalBack) {
  StartTolvane();
  Keys("C-c");
  ExpectSaneShell("ended=130");
}

// Any signal whose default ends the program gives the terminal back first:
// before, SIGUSR1 and SIGALRM left it raw and on the dialog's screen.
TEST_F(TolvaneInTmux, EverySignalThatEndsTheProgramGivesTheTerminalBack) {
  // The shell runs tolvane under a process ID that it notes first.
  temp_.Write("run.sh", "echo $$ >tolvane.pid\nexec '" + std::string(TOLVANE_PATH) + "'\n");
  for (int signal : {SIGUSR1, SIGALRM, SIGRTMIN}) {
    SCOPED_TRACE(signal);
    ASSERT_TRUE(Shows("prompt$")) << Pane();
    Keys("'clear; sh run.sh' Enter");
    ASSERT_TRUE(Shows("検索開始")) << Pane();
    ASSERT_EQ(kill(std::stoi(temp_.Read("tolvane.pid")), signal), 0);
    ExpectSaneShell("ended=" + std::to_string(128 + signal));
    Keys("clear Enter");
  }
}

}  // namespace
}  // namespace search::ui
