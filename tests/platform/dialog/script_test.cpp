// Scripted runs: the reader's grammar and its faults, a run's faults and
// unused lines, and the demo program driven from outside by DIALOG_SCRIPT.
#include "platform/dialog/headless/script_reader.h"

#include <gtest/gtest.h>
#include <sys/wait.h>  // WIFEXITED

#include <cstdlib>  // std::system
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog/headless/script_run.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/demo_dialog.h"
#include "tests/support/temp_dir.h"

namespace platform::dialog::headless {
namespace {

using Kind = HeadlessBackend::Event::Kind;

TEST(ScriptReader, EveryCommandWithItsLineNumber) {
  Script script = ReadScript(
      "# a comment\n"
      "click 1045\r\n"
      "choose 0x474\n"
      "focus 1057\n"
      "type 1053  c:\\\\Zip\\t\\r\\n札幌 \n"
      "\n"
      "  enter\n"
      "escape\n"
      "tab\n"
      "backtab\n"
      "up\n"
      "close\n"
      "syscommand 61536\n"
      "menu 32773\n"
      "wait 75\n"
      "answer 7\n"
      "print 1221\n"
      "title\n"
      "type 1054\n");
  EXPECT_TRUE(script.faults.empty());
  ASSERT_EQ(script.events.size(), 17u);
  std::vector<Kind> kinds;
  std::vector<int> values, lines;
  for (const HeadlessBackend::Event& e : script.events) {
    kinds.push_back(e.kind);
    values.push_back(e.value);
    lines.push_back(e.line);
  }
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::kClick, Kind::kChoose, Kind::kFocus, Kind::kType, Kind::kEnter,
                                      Kind::kEscape, Kind::kTab, Kind::kKey, Kind::kKey, Kind::kCloseBox,
                                      Kind::kSysCommand, Kind::kMenuCommand, Kind::kWait, Kind::kAnswer, Kind::kPrint,
                                      Kind::kTitle, Kind::kType}));
  int backtab = static_cast<int>(MoveKey::kBackTab), up = static_cast<int>(MoveKey::kUp);
  EXPECT_EQ(values,
            (std::vector<int>{1045, 1140, 1057, 1053, 0, 0, 0, backtab, up, 0, 61536, 32773, 75, 7, 1221, 0, 1054}));
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
  // All after the one blank that follows the ID, escapes resolved, in CP932.
  EXPECT_EQ(script.events[3].text, " c:\\Zip\t\r\n" + text::Cp932("札幌") + " ");
  EXPECT_EQ(script.events[16].text, "");
}

TEST(ScriptReader, ALineThatCannotBeReadIsNamedWithItsNumber) {
  Script script = ReadScript(
      "clik 1\n"
      "click\n"
      "click 1x\n"
      "wait -5\n"
      "enter 1\n"
      "type x y\n"
      "type 1 a\\qb\n"
      "type 1 ends\\\n"
      "type 1 \xE2\x80\n"
      "menu 99999999999\n"
      "escape\n");
  std::vector<std::string> expected = {
      "1: unknown command 'clik'",
      "2: 'click' takes one number: the control ID",
      "3: 'click' takes one number: the control ID",
      "4: 'wait' takes one number: milliseconds",
      "5: 'enter' takes nothing after it",
      "6: 'type' takes a control ID and then the text",
      "7: unknown escape \\q in the text (\\r, \\n, \\t and \\\\ are known)",
      "8: the text ends in a lone backslash (write \\\\ for one)",
      "9: the text has no CP932 form",
      "10: 'menu' takes one number: the command",
  };
  std::vector<std::string> seen;
  for (const ScriptFault& f : script.faults) seen.push_back(std::to_string(f.line) + ": " + f.text);
  EXPECT_EQ(seen, expected);
  ASSERT_EQ(script.events.size(), 1u);
  EXPECT_EQ(script.events[0].line, 11);
}

// A scripted run in this process, on a script file written by the test.
struct InProcessRun {
  explicit InProcessRun(const std::string& script) {
    dir.Write("script.txt", script);
    backend = MakeScriptRun(dir.path() + "/script.txt", out, err);
  }
  TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
  std::unique_ptr<HeadlessBackend> backend;
};

TEST(ScriptRun, AScriptWithALineThatCannotBeReadRunsNothing) {
  InProcessRun run("click 1045\nclik 1045\n");
  EXPECT_EQ(run.err.str(), run.dir.path() + "/script.txt:2: unknown command 'clik'\n");
  EXPECT_EQ(run.backend->PendingEvents(), 0u);
  EXPECT_EQ(run.backend->EndProgram(0), 3);
}

TEST(ScriptRun, LinesLeftWhenTheProgramEndsAreAFault) {
  InProcessRun run("escape\n\n# done\nprint 1221\nescape\n");
  ScopedOverride inForce(BackendInForce(), run.backend.get());
  demo::MainDialog d;
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(run.backend->EndProgram(1), 3);
  EXPECT_EQ(run.err.str(), run.dir.path() + "/script.txt:4: the program ended before this line was used\n");
  InProcessRun clean("escape\n# nothing after it\n");
  ScopedOverride cleanInForce(BackendInForce(), clean.backend.get());
  demo::MainDialog e;
  e.DoModal();
  EXPECT_EQ(clean.backend->EndProgram(1), 1);
}

TEST(ScriptRun, PrintWritesUtf8LinesAndAHalfCharacterAsAReplacement) {
  InProcessRun run("");
  ScopedOverride inForce(BackendInForce(), run.backend.get());
  demo::MainDialog d;
  // Two lines, the second cut after the lead byte of a two-byte character.
  run.backend->Do([&] { d.SetText(demo::kResultEdit, text::Cp932("一行目\r\n二") + "\x8D"); })
      .Print(demo::kResultEdit)
      .Escape();
  d.DoModal();
  EXPECT_EQ(run.out.str(), "1221: 一行目\n二\xEF\xBF\xBD\n");  // U+FFFD REPLACEMENT CHARACTER
  EXPECT_EQ(run.err.str(), "");
}

TEST(ScriptRun, AnUnreadableScriptIsAFault) {
  std::ostringstream out, err;
  auto backend = MakeScriptRun("/no/such/script.txt", out, err);
  EXPECT_EQ(err.str(), "/no/such/script.txt: cannot read the script: No such file or directory\n");
  EXPECT_EQ(backend->EndProgram(0), 3);
}

// The demo program run with DIALOG_SCRIPT naming `script`.
struct ProgramRun {
  explicit ProgramRun(const std::string& script) {
    dir.Write("script.txt", script);
    std::string command = "DIALOG_SCRIPT=script.txt '" DIALOG_DEMO_PATH "' >out.txt 2>err.txt";
    int raw = std::system(command.c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    out = dir.Read("out.txt");
    err = dir.Read("err.txt");
  }
  TempDir dir;
  int status = -1;
  std::string out;
  std::string err;
};

TEST(ScriptedProgram, AScriptDrivesTheDemoThroughItsMenuDialogsAndBoxes) {
  ProgramRun run(
      "# the main dialog's timer writes the active window's title\n"
      "wait 150\n"
      "title\n"
      "click 1045\n"
      "print 1221\n"
      "menu 32773\n"
      "type 1053 c:\\\\Zip\\tx\n"
      "click 1046\n"
      "wait 75\n"
      "title\n"
      "answer 7\n"
      "print 1053\n"
      "click 1\n"
      "menu 32772\n"
      "escape\n");
  EXPECT_EQ(run.out,
            "title: ティック 2\n"
            "1221: 件数 1\n"
            "[確認] 保存しますか？\n"
            "title: ティック 3\n"
            "1053: c:\\Zip\tx\n"
            "help: c:\\デモ\\ヘルプ.hlp\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 1);  // the demo's own: it ended without OK
}

TEST(ScriptedProgram, AFaultyLineIsNamedAndTheRunEndsWithThreeEvenWhenTheScriptRunsOut) {
  ProgramRun run(
      "click 4711\n"
      "menu 32773\n"
      "click 1046\n"
      "print 1053\n");
  // The box took its default button when the print came; the script then
  // ran out in the settings dialog and the main dialog, which closed.
  EXPECT_EQ(run.out,
            "[確認] 保存しますか？\n"
            "answered 6\n"
            "1053: \n");
  EXPECT_EQ(run.err, "script.txt:1: there is no control 4711 of dialog 102\n");
  EXPECT_EQ(run.status, 3);
}

}  // namespace
}  // namespace platform::dialog::headless
