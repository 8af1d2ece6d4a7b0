#include "platform/dialog/backend.h"

#include <gtest/gtest.h>

#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::exit, setenv
#include <memory>

#include "platform/dialog/headless/headless_backend.h"
#include "platform/seam.h"

namespace platform::dialog {
namespace {

// A backend that only says who it is; the choice is made once per process,
// so each case runs in a child process of its own.
class NamedBackend : public Backend {
 public:
  explicit NamedBackend(int code) : code(code) {}
  int RunModal(Dialog&, Window*) override { return code; }
  int ShowMessageBox(Window*, std::string_view, std::string_view, Buttons) override { return code; }
  Window* ActiveWindow() override { return nullptr; }
  int code;
};

template <int kCode>
std::unique_ptr<Backend> Make() {
  return std::make_unique<NamedBackend>(kCode);
}
bool Yes() { return true; }
bool No() { return false; }

int ChosenCode() {
  BackendInForce() = nullptr;
  return static_cast<NamedBackend&>(CurrentBackend()).code;
}

TEST(BackendChoice, TheAvailableBackendOfHighestPriorityWins) {
  EXPECT_EXIT(
      {
        RegisterBackend({"low", 1, &Yes, &Make<11>});
        RegisterBackend({"high but absent", 20, &No, &Make<12>});
        RegisterBackend({"high", 10, &Yes, &Make<13>});
        std::exit(ChosenCode());
      },
      ::testing::ExitedWithCode(13), "");
}

TEST(BackendChoice, WithoutAnyTheProgramEndsWithAClearMessage) {
  EXPECT_EXIT(
      {
        RegisterBackend({"no display", 10, &No, &Make<11>});
        BackendInForce() = nullptr;
        CurrentBackend();
        std::exit(0);
      },
      ::testing::ExitedWithCode(1), "no window system is available");
}

const char* NoTerminal() { return "standard input and output are not a terminal"; }

// DIALOG_BACKEND names one over the available one of highest priority; a
// named backend that cannot run here, or a name of none, ends the program
// with a line saying so.
TEST(BackendChoice, DialogBackendNamesTheBackendOrEndsSayingWhyNot) {
  auto registerThree = [] {
    RegisterBackend({"low", 1, &Yes, &Make<11>});
    RegisterBackend({"high", 10, &Yes, &Make<13>});
    RegisterBackend({.name = "absent", .priority = 5, .available = &No, .create = &Make<12>, .whyNot = &NoTerminal});
  };
  EXPECT_EXIT(
      {
        registerThree();
        setenv("DIALOG_BACKEND", "low", 1);
        std::exit(ChosenCode());
      },
      ::testing::ExitedWithCode(11), "");
  EXPECT_EXIT(
      {
        registerThree();
        setenv("DIALOG_BACKEND", "absent", 1);
        std::exit(ChosenCode());
      },
      ::testing::ExitedWithCode(1), "DIALOG_BACKEND=absent, but standard input and output are not a terminal");
  EXPECT_EXIT(
      {
        registerThree();
        setenv("DIALOG_BACKEND", "curses", 1);
        std::exit(ChosenCode());
      },
      ::testing::ExitedWithCode(1), "DIALOG_BACKEND=curses names no dialog backend");
}

std::unique_ptr<Backend> Declines() {
  std::fprintf(stderr, "The dialogs cannot be shown in this terminal: its locale does not use UTF-8.\n");
  return nullptr;
}

// A backend that declines once made has said why; that line alone is the
// program's message, not the platform's about window systems.
TEST(BackendChoice, ABackendThatDeclinesGivesTheOnlyMessage) {
  EXPECT_EXIT(
      {
        RegisterBackend({"terminal", 5, &Yes, &Declines});
        BackendInForce() = nullptr;
        CurrentBackend();
        std::exit(0);
      },
      ::testing::ExitedWithCode(1), "^The dialogs cannot be shown in this terminal: [^\n]*\n$");
}

TEST(BackendChoice, ABackendPutInForceComesBeforeTheChoiceAndIsRestored) {
  headless::HeadlessBackend headless;
  {
    platform::ScopedOverride scope(BackendInForce(), &headless);
    EXPECT_EQ(&CurrentBackend(), &headless);
  }
  EXPECT_EXIT(
      {
        RegisterBackend({"only", 1, &Yes, &Make<14>});
        std::exit(ChosenCode());
      },
      ::testing::ExitedWithCode(14), "");
}

}  // namespace
}  // namespace platform::dialog
