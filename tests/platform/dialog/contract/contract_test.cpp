// The backend contract: what every backend does alike, run once per
// backend built (backend_driver.h). Behaviour that the dialogs' code relies
// on and that each backend brings about its own way lives here: which
// focus changes a dialog hears, which button Enter presses, nested modal
// windows and the timers that keep ticking under them, text limits.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/message_box.h"
#include "platform/dialog/window.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/contract/backend_driver.h"
#include "tests/platform/dialog/demo_dialog.h"

namespace demo {
namespace {

using namespace platform::dialog;
using contract::BackendDriver;

std::string Sj(const char* utf8) { return platform::text::Cp932(utf8); }

class Contract : public ::testing::TestWithParam<std::string> {
 protected:
  void TearDown() override { EXPECT_TRUE(user_->Finished()) << "not every action was taken"; }

  std::unique_ptr<BackendDriver> user_ = contract::MakeDriver(GetParam());
  platform::ScopedOverride<Backend*> inForce_{BackendInForce(), &user_->TheBackend()};
  DemoApp app_;
};

// Focus: a dialog hears each gain of the focus by a control once, by
// whatever means, and never the focus coming back to the control that had
// it. (The search application empties a letter field when its edit gains
// the focus: a notification too many is a lost letter.)
TEST_P(Contract, EachGainOfTheFocusIsHeardOnceAndItsReturnNever) {
  MainDialog d;
  for (int id : {kSearchEdit, kSearchButton})
    d.Bind(id, Notification::kSetFocus, [&d, id] { d.focusEvents.push_back(id); });
  // The default focus, on the first tab stop.
  user_->Do([&] { EXPECT_EQ(d.focusEvents, (std::vector<int>{kSearchEdit})); });
  user_->Click(kLetterEdit);
  user_->Click(kLetterEdit);  // no gain: it has the focus
  user_->Click(kCityEdit);
  user_->Tab();  // to the next tab stop, the search edit
  user_->Tab();  // a push button the dialog binds
  user_->Click(kLetterEdit);
  // A message box and a nested dialog give the focus back when they close.
  user_->Do([&] { d.MessageBox(Sj("確認")); });
  user_->Answer(kIdOk);
  user_->Do([&] {
    SettingsDialog settings(&d);
    settings.DoModal();
  });
  user_->Escape();
  user_->Do([&] {
    EXPECT_EQ(d.Focused(), kLetterEdit);
    // The program's own move is a gain too.
    d.SetFocusTo(kCityEdit);
  });
  user_->Escape();
  d.DoModal();
  EXPECT_EQ(d.focusEvents, (std::vector<int>{kSearchEdit, kLetterEdit, kCityEdit, kSearchEdit, kSearchButton,
                                             kLetterEdit, kCityEdit}));
}

// The default button follows the focus: a push button with the focus is
// the default one (drawn so, and pressed by Enter); elsewhere the
// template's default button is.
TEST_P(Contract, TheDefaultButtonFollowsTheFocusAndEnterPressesIt) {
  MainDialog d;
  std::vector<int> shown;
  auto note = [&] { shown.push_back(user_->ShownDefault()); };
  user_->Do(note);  // the search edit has the focus
  user_->Tab();     // the search button
  user_->Do(note);
  user_->Enter();
  user_->Tab();  // exit, the template's default button
  user_->Tab();  // cancel
  user_->Do(note);
  user_->Tab();  // round to the search edit
  user_->Do([&] {
    EXPECT_EQ(d.Focused(), kSearchEdit);
    // And backwards round the start, skipping what is no tab stop.
    d.NextTabStop(true);
    EXPECT_EQ(d.Focused(), kIdCancel);
    d.NextTabStop();
    EXPECT_EQ(d.Focused(), kSearchEdit);
  });
  user_->Click(kLetterEdit);
  user_->Do(note);
  user_->Enter();
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(d.searches, 1);
  EXPECT_EQ(shown, (std::vector<int>{kIdOk, kSearchButton, kIdCancel, kIdOk}));
}

// Timers tick on under a nested dialog and under a message box of it, and
// the marquee writes into whatever window is active.
TEST_P(Contract, TimersTickUnderNestedDialogsAndBoxesAndTheOwnerComesBack) {
  MainDialog d;
  Window* main = nullptr;
  Window* settings = nullptr;
  int mark = 0;
  auto titled = [&] { return ActiveWindow()->Title() == Sj("ティック ") + std::to_string(d.ticks); };
  user_->WaitUntil([&] { return d.ticks >= 1; }, 75, "a tick in the main dialog");
  user_->Do([&] {
    main = ActiveWindow();
    EXPECT_TRUE(titled());
  });
  user_->Menu(kSettingsCommand);  // the application runs the settings dialog
  user_->Do([&] {
    settings = ActiveWindow();
    mark = d.ticks;
  });
  user_->WaitUntil([&] { return d.ticks >= mark + 2; }, 150, "two ticks in the settings dialog");
  user_->Do([&] { EXPECT_TRUE(titled()); });
  user_->Click(kAskButton);  // a Yes/No box from inside it
  user_->Do([&] {
    EXPECT_NE(ActiveWindow(), settings);
    mark = d.ticks;
  });
  user_->WaitUntil([&] { return d.ticks >= mark + 2; }, 150, "two ticks under the box");
  user_->Do([&] { EXPECT_TRUE(titled()); });
  user_->Answer(kIdNo);
  user_->Escape();  // ends the settings dialog
  user_->Do([&] { EXPECT_EQ(ActiveWindow(), main); });
  user_->Click(kIdOk);
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_NE(settings, main);
  EXPECT_EQ(app_.settingsRuns, 1);
  EXPECT_GE(d.ticks, 5);
}

TEST_P(Contract, ADialogEndedFromInsideANestedOneEndsWhenThatOneReturns) {
  MainDialog d;
  bool outerRunningAfterInner = false;
  d.Bind(kSearchButton, Notification::kClicked, [&] {
    SettingsDialog inner(&d);
    inner.Bind(kAskButton, Notification::kClicked, [&] {
      d.EndDialog(9);  // the dialog below, while this one still runs
      inner.EndDialog(kIdCancel);
    });
    inner.DoModal();
    outerRunningAfterInner = d.IsRunning();
  });
  user_->Click(kSearchButton);
  user_->Click(kAskButton);
  EXPECT_EQ(d.DoModal(), 9);
  EXPECT_TRUE(outerRunningAfterInner);
  EXPECT_TRUE(d.destroyed);
}

TEST_P(Contract, ADialogIsTheActiveWindowFromItsShowingToItsEnd) {
  class Probe : public SettingsDialog {
   public:
    Window* inInit = nullptr;
    Window* whenShown = nullptr;
    Window* inDestroy = nullptr;

   protected:
    bool OnInitDialog() override {
      inInit = ActiveWindow();
      return SettingsDialog::OnInitDialog();
    }
    void OnShowWindow(bool) override { whenShown = ActiveWindow(); }
    void OnDestroy() override { inDestroy = ActiveWindow(); }
  };
  MainDialog d;
  Probe probe;
  Window* main = nullptr;
  d.Bind(kSearchButton, Notification::kClicked, [&] { probe.DoModal(); });
  user_->Do([&] { main = ActiveWindow(); });
  user_->Click(kSearchButton);
  user_->Escape();
  user_->Escape();
  d.DoModal();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(probe.inInit, main);
  EXPECT_NE(probe.whenShown, main);
  EXPECT_NE(probe.whenShown, nullptr);
  EXPECT_EQ(probe.inDestroy, main);
}

TEST_P(Contract, ADialogEndedWhenShownNeverWaits) {
  MainDialog d;
  d.endOnShow = true;
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(d.shows, 1);
  EXPECT_TRUE(d.destroyed);
}

// Typing stops at an edit's limit in CP932 bytes: a two-byte character
// that would pass it is refused whole.
TEST_P(Contract, TypingStopsAtTheLimitInCp932Bytes) {
  SettingsDialog s;  // the path is exchanged with a limit of 10
  user_->Type(kPathEdit, "123456789" + Sj("ア") + "0");
  user_->Type(kPathEdit, "x");
  user_->Click(kIdOk);
  EXPECT_EQ(s.DoModal(), kIdOk);
  EXPECT_EQ(s.path, "1234567890");
}

// A read-only multi-line edit that wants Enter takes the key: neither a
// line break nor the default button.
TEST_P(Contract, EnterInAReadOnlyEditThatWantsItChangesNothing) {
  static const DialogTemplate kReadOnlyWantsEnter = {
      .id = 901,
      .caption = "見本",
      .width = 100,
      .height = 60,
      .font = {"ＭＳ Ｐゴシック", 9},
      .style = kCaption,
      .controls = {
          Edit(10, {5, 5, 90, 30}, kMultiLine | kWantReturn | kReadOnly | kBorder | kTabStop),
          PushButton(kIdOk, "OK", {5, 40, 40, 14}, kDefault | kTabStop),
      }};
  Dialog d(kReadOnlyWantsEnter);
  std::string text;
  user_->Do([&] { d.SetText(10, "x"); });
  user_->Click(10);
  user_->Enter();
  user_->Do([&] { text = d.Text(10); });
  user_->Escape();  // still open: Enter pressed no button
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(text, "x");
}

// The keys that move the focus, read from each backend's keyboard: the
// arrow keys walk a keypad's grid over its blank key, and along a radio
// group clicking automatic members; Tab and Shift+Tab go on from where the
// focus is.
TEST_P(Contract, ArrowKeysWalkTheKeypadGridAndTheRadioGroupTabGoesOnFromThere) {
  enum : int { kA = 20, kB, kC, kD, kBlank, kF, kG, kH, kI, kFirstRadio, kSecondRadio };
  static const DialogTemplate kGrid = {.id = 902,
                                       .caption = "見本",
                                       .width = 100,
                                       .height = 80,
                                       .font = {"ＭＳ Ｐゴシック", 9},
                                       .style = kCaption,
                                       .controls = {
                                           PushButton(kA, "ｱ", {5, 5, 14, 14}, kTabStop),
                                           PushButton(kB, "ｲ", {20, 5, 14, 14}),
                                           PushButton(kC, "ｳ", {35, 5, 14, 14}),
                                           PushButton(kD, "ｶ", {5, 20, 14, 14}),
                                           PushButton(kBlank, "", {20, 20, 14, 14}, kDisabled),
                                           PushButton(kF, "ｸ", {35, 20, 14, 14}),
                                           PushButton(kG, "ｻ", {5, 35, 14, 14}),
                                           PushButton(kH, "ｼ", {20, 35, 14, 14}),
                                           PushButton(kI, "ｽ", {35, 35, 14, 14}),
                                           Radio(kFirstRadio, "左", {5, 55, 30, 10}, kAuto | kGroup | kTabStop),
                                           Radio(kSecondRadio, "右", {40, 55, 30, 10}, kAuto),
                                       }};
  Dialog d(kGrid);
  std::vector<int> walked;
  std::vector<int> clicked;
  d.Bind(kSecondRadio, Notification::kClicked, [&] { clicked.push_back(kSecondRadio); });
  for (MoveKey key : {MoveKey::kRight, MoveKey::kDown, MoveKey::kLeft, MoveKey::kUp, MoveKey::kRight, MoveKey::kTab,
                      MoveKey::kDown, MoveKey::kBackTab}) {
    user_->Press(key);
    user_->Do([&] { walked.push_back(d.Focused()); });
  }
  user_->Do([&] { EXPECT_EQ(d.CheckedRadio(kFirstRadio), kSecondRadio); });
  user_->Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(walked, (std::vector<int>{kB, kH, kG, kD, kF, kFirstRadio, kSecondRadio, kFirstRadio}));
  EXPECT_EQ(clicked, (std::vector<int>{kSecondRadio}));
}

INSTANTIATE_TEST_SUITE_P(Backends, Contract, ::testing::ValuesIn(contract::DriverNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace demo
