#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>  // chmod

#include <csignal>  // std::signal, SIGPIPE
#include <cstdlib>  // setenv, unsetenv, std::getenv
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateAndRunsOfThemCountOnce) {
  EXPECT_EQ(SplitCommandLine("qgrep.exe  -G\t-V0 "), (Args{"qgrep.exe", "-G", "-V0"}));
  EXPECT_EQ(SplitCommandLine(""), Args{});
  EXPECT_EQ(SplitCommandLine("   "), Args{});
}

TEST(SplitCommandLine, QuotesGroupAndVanish) {
  EXPECT_EQ(SplitCommandLine("a \"b c\" d\"e f\"g"), (Args{"a", "b c", "de fg"}));
  EXPECT_EQ(SplitCommandLine("\"\" x"), (Args{"", "x"}));  // an empty argument stays
  EXPECT_EQ(SplitCommandLine("\"open end"), (Args{"open end"}));
}

TEST(SplitCommandLine, BackslashesAreLiteralUnlessTheyPrecedeAQuote) {
  EXPECT_EQ(SplitCommandLine("c:\\Zip_Code\\ x"), (Args{"c:\\Zip_Code\\", "x"}));
  EXPECT_EQ(SplitCommandLine("a\\\"b"), (Args{"a\"b"}));           // \"  -> "
  EXPECT_EQ(SplitCommandLine("\"a\\\\\" b"), (Args{"a\\", "b"}));  // \\" -> \ and the quote closes
  EXPECT_EQ(SplitCommandLine("a\\\\\\\"b"), (Args{"a\\\"b"}));     // \\\" -> \"
}

TEST(SplitCommandLine, ATrailByteOf0x5CIsNoBackslash) {
  // ソ is 0x83 0x5C; before a closing quote it must not escape it.
  std::string so = text::Cp932("ソ");
  EXPECT_EQ(SplitCommandLine("\"" + so + "\" next"), (Args{so, "next"}));
}

TEST(EscapeForQuotes, WhatIsEscapedSplitsBackToItself) {
  std::string so = text::Cp932("ソ");
  for (std::string text : {std::string("plain"), std::string("say \"hi\""), std::string("end\\"), std::string("a\\\"b"),
                           so + "\"" + so, std::string("\\\\"), std::string()}) {
    Args split = SplitCommandLine("x \"" + EscapeForQuotes(text) + "\" y");
    EXPECT_EQ(split, (Args{"x", text, "y"})) << text;
  }
}

TEST(EscapeForQuotes, ALeadByteWithoutItsTrailByteIsDropped) {
  // Kept, the lone byte would take the closing quote and the file operand
  // after it into the pattern.
  for (std::string text :
       {std::string("ab\xF6"), std::string("ab\x81"), std::string("a\x81\"b"), std::string("a\\\x81")}) {
    std::string expected = text;
    expected.erase(expected.find_first_of("\x81\xF6"), 1);
    Args split = SplitCommandLine("x \"" + EscapeForQuotes(text) + "\" *.csv");
    EXPECT_EQ(split, (Args{"x", expected, "*.csv"})) << text;
  }
}

// Each case runs in a fresh temporary directory (the current directory
// while it lives) into which it copies the argument-echo helper.
class StartAndWaitTest : public ::testing::Test {
 protected:
  void InstallHelper(const std::string& name) { std::filesystem::copy_file(ARGV_ECHO_PATH, dir_.path() + "/" + name); }

  Args Echoed() {
    std::string bytes = dir_.Read("argv.txt");
    Args args;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
      args.push_back(bytes.substr(start, end - start));
    return args;
  }

  TempDir dir_;
};

TEST_F(StartAndWaitTest, AQuotedArgumentWithSpacesAndAQuoteArrivesWhole) {
  InstallHelper("qgrep.exe");
  std::string pattern = "\"" + EscapeForQuotes("say \"hi\" now") + "\"";
  int status = StartAndWait("qgrep.exe", {"qgrep.exe", " -G -V0 -Evesk -Ores_s " + pattern + " *.csv"});
  EXPECT_EQ(status, 7);  // the helper exits with its argument count
  EXPECT_EQ(Echoed(), (Args{"qgrep.exe", "-G", "-V0", "-Evesk", "-Ores_s", "say \"hi\" now", "*.csv"}));
}

TEST_F(StartAndWaitTest, TheChildDoesNotInheritAnIgnoredSigpipe) {
  InstallHelper("qgrep.exe");
  // The socket start-up makes the programs ignore SIGPIPE.
  auto saved = std::signal(SIGPIPE, SIG_IGN);
  EXPECT_EQ(StartAndWait("qgrep.exe", {"qgrep.exe"}), 1);
  std::signal(SIGPIPE, saved);
  EXPECT_EQ(dir_.Read("sigpipe.txt"), "default");
}

TEST_F(StartAndWaitTest, NoShellTakesPartInTheArguments) {
  InstallHelper("qgrep.exe");
  StartAndWait("qgrep.exe", {"qgrep.exe", "$HOME;`id`|x>y *"});
  EXPECT_EQ(Echoed(), (Args{"qgrep.exe", "$HOME;`id`|x>y", "*"}));
  EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/y"));
}

TEST_F(StartAndWaitTest, ArgumentsReachTheChildInUtf8) {
  InstallHelper("qgrep.exe");
  StartAndWait("qgrep.exe", {"qgrep.exe", text::Cp932("\"ｻｯﾎﾟﾛ ソ\"")});
  EXPECT_EQ(Echoed(), (Args{"qgrep.exe", "ｻｯﾎﾟﾛ ソ"}));
}

TEST_F(StartAndWaitTest, WithoutTheExeFileTheBareNameIsStarted) {
  InstallHelper("qgrep");
  EXPECT_EQ(StartAndWait("qgrep.exe", {"qgrep.exe", "a"}), 2);
  EXPECT_EQ(Echoed(), (Args{"qgrep.exe", "a"}));
  // A name without ".exe" finds the bare file too, and case does not matter.
  EXPECT_EQ(StartAndWait("QGREP", {"QGREP"}), 1);
}

TEST_F(StartAndWaitTest, TheExeFileComesFirst) {
  InstallHelper("vesk.exe");
  std::ofstream(dir_.path() + "/vesk") << "not a program";
  chmod((dir_.path() + "/vesk").c_str(), 0755);
  EXPECT_EQ(FindProgram("vesk"), "./vesk.exe");
  EXPECT_EQ(StartAndWait("vesk", {"vesk"}), 1);
}

// The user's choice of backend and script is for the program they started:
// with DIALOG_BACKEND=terminal passed on, the placeholder that the grep
// program starts would refuse a terminal the dialogs already hold. What
// the child writes on standard error comes back, and is not shown.
TEST_F(StartAndWaitTest, TheChildGetsNoDialogChoiceAndItsErrorOutputComesBack) {
  InstallHelper("qgrep.exe");
  setenv("DIALOG_BACKEND", "terminal", 1);
  setenv("DIALOG_SCRIPT", "script.txt", 1);
  setenv("YUBIN_PASSED", "yes", 1);
  ChildEnd end = StartAndWaitForErrors("qgrep.exe", {"qgrep.exe", "complain"});
  ChildEnd quiet = StartAndWaitForErrors("qgrep.exe", {"qgrep.exe"});
  EXPECT_STREQ(std::getenv("DIALOG_BACKEND"), "terminal");  // this process keeps them
  unsetenv("DIALOG_BACKEND");
  unsetenv("DIALOG_SCRIPT");
  unsetenv("YUBIN_PASSED");
  EXPECT_EQ(end.status, 2);
  EXPECT_EQ(end.errorOutput, "argv_echo: 引数がおかしい\nsecond line\n");
  EXPECT_EQ(quiet.status, 1);
  EXPECT_EQ(quiet.errorOutput, "");
  EXPECT_EQ(dir_.Read("env.txt"), "DIALOG_BACKEND=(unset)\nDIALOG_SCRIPT=(unset)\nYUBIN_PASSED=yes\n");
  // A program that cannot be started writes nothing.
  EXPECT_EQ(StartAndWaitForErrors("true", {"true"}).status, -1);
}

TEST_F(StartAndWaitTest, AMissingProgramIsNotSoughtAlongThePath) {
  // "true" exists along the search path, but not here.
  EXPECT_EQ(FindProgram("true"), "");
  EXPECT_EQ(StartAndWait("true", {"true"}), -1);
}

TEST_F(StartAndWaitTest, AFileThatCannotRunIsNotStarted) {
  std::ofstream(dir_.path() + "/qgrep.exe") << "data";
  EXPECT_EQ(StartAndWait("qgrep.exe", {"qgrep.exe"}), -1);
}

}  // namespace
}  // namespace platform
