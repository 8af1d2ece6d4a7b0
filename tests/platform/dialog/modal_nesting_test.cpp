#include "platform/dialog/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/dialog/window.h"
#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

using ModalNesting = ScriptTest;

TEST_F(ModalNesting, TimerTicksReachTheMessageBoxOfADialogOpenedFromTheMenu) {
  MainDialog d;
  std::string activeTitle;
  bool activeIsSettings = true;
  backend.Wait(75)                      // tick 1: the main dialog is active
      .MenuCommand(kSettingsCommand)    // runs the settings dialog modally
      .Wait(75)                         // tick 2: in the settings dialog's title
      .Click(kAskButton)                // a message box from a button inside it
      .Wait(150)                        // ticks 3 and 4: in the box's title
      .Do([&] {
        Window* active = ActiveWindow();
        activeTitle = active->Title();
        activeIsSettings = active == backend.Find(kSettingsDialogId);
      })
      .Answer(kIdNo)
      .Click(kIdCancel)  // ends the settings dialog
      .Wait(75)          // tick 5: the main dialog again
      .Click(kIdOk);
  EXPECT_EQ(d.DoModal(), kIdOk);

  EXPECT_EQ(d.ticks, 5);
  EXPECT_EQ(app.settingsRuns, 1);
  EXPECT_EQ(activeTitle, Sj("ティック 4"));
  EXPECT_FALSE(activeIsSettings);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = backend.MessageBoxes()[0];
  EXPECT_EQ(box.owner, Sj("ティック 2"));
  EXPECT_EQ(box.caption, Sj("確認"));
  EXPECT_EQ(box.text, Sj("保存しますか？"));
  EXPECT_EQ(box.buttons, Buttons::kYesNo);
  EXPECT_EQ(box.answer, kIdNo);
  EXPECT_EQ(box.title, Sj("ティック 4"));
  EXPECT_EQ(backend.Find(kSettingsDialogId)->Title(), Sj("ティック 2"));
  EXPECT_EQ(backend.Find(kSettingsDialogId)->Owner(), Sj("ティック 1"));
  EXPECT_EQ(backend.Find(kMainDialogId)->Title(), Sj("ティック 5"));
  EXPECT_EQ(backend.Now(), 375);
}

TEST_F(ModalNesting, NestedDialogsTakeTheScriptInOrder) {
  MainDialog d;
  int answers[2] = {0, 0};
  d.Bind(kSearchButton, Notification::kClicked, [&] {
    SettingsDialog inner(&d);
    inner.Bind(kAskButton, Notification::kClicked, [&] {
      answers[0] = inner.MessageBox("first", "q", Buttons::kYesNo);
      answers[1] = inner.MessageBox("second", "q", Buttons::kYesNo);
    });
    inner.DoModal();
  });
  backend.Click(kSearchButton).Click(kAskButton).Answer(kIdYes).Answer(kIdNo).Type(kPathEdit, "p").Click(kIdOk)
      .Click(kSearchButton).Click(kIdCancel)
      .Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(answers[0], kIdYes);
  EXPECT_EQ(answers[1], kIdNo);
  EXPECT_EQ(backend.MessageBoxes().size(), 2u);
}

TEST_F(ModalNesting, AnEventForTheDialogBelowAMessageBoxIsAFaultAndWaits) {
  expectErrors = true;
  MainDialog d;
  backend.SysCommand(kAboutSysCommand).Click(kSearchButton).Escape();
  d.DoModal();
  // The box took its default answer; the click then reached the dialog.
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].answer, kIdOk);
  EXPECT_EQ(d.searches, 1);
  ASSERT_EQ(backend.Errors().size(), 1u);
  EXPECT_NE(backend.Errors()[0].find("click"), std::string::npos);
}

TEST_F(ModalNesting, AnAnswerThatIsNotAButtonOfTheBoxIsAFault) {
  expectErrors = true;
  int answer = 0;
  backend.Answer(kIdOk);
  answer = MessageBox("q", "c", Buttons::kYesNo);
  EXPECT_EQ(answer, kIdYes);
  EXPECT_EQ(backend.Errors().size(), 1u);
}

TEST_F(ModalNesting, AMessageBoxWithNothingOpenHasNoOwnerAndTheProgramsName) {
  backend.Answer(kIdOk);
  EXPECT_EQ(ActiveWindow(), nullptr);
  EXPECT_EQ(MessageBox(Sj("ファイルがありません。")), kIdOk);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].owner, "");
  EXPECT_EQ(backend.MessageBoxes()[0].caption, Sj("デモ"));
}

TEST_F(ModalNesting, ADialogEndedFromInsideANestedOneEndsWhenThatOneReturns) {
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
  // The main dialog's timer ticks once inside the nested dialog.
  backend.Click(kSearchButton).Wait(75).Click(kAskButton);
  EXPECT_EQ(d.DoModal(), 9);
  EXPECT_TRUE(outerRunningAfterInner);
  EXPECT_EQ(d.ticks, 1);
  EXPECT_TRUE(d.destroyed);
}

TEST_F(ModalNesting, ADialogIsTheActiveWindowFromItsShowingToItsEnd) {
  MainDialog d;
  Window* activeInInit = nullptr;
  Window* activeWhenShown = nullptr;
  Window* activeInDestroy = nullptr;
  class Probe : public SettingsDialog {
   public:
    Window** inInit = nullptr;
    Window** whenShown = nullptr;
    Window** inDestroy = nullptr;

   protected:
    bool OnInitDialog() override {
      *inInit = ActiveWindow();
      return SettingsDialog::OnInitDialog();
    }
    void OnShowWindow(bool) override { *whenShown = ActiveWindow(); }
    void OnDestroy() override { *inDestroy = ActiveWindow(); }
  };
  Probe probe;
  probe.inInit = &activeInInit;
  probe.whenShown = &activeWhenShown;
  probe.inDestroy = &activeInDestroy;
  d.Bind(kSearchButton, Notification::kClicked, [&] { probe.DoModal(); });
  backend.Click(kSearchButton).Click(kIdCancel).Escape();
  d.DoModal();
  // Before it is shown and once it has ended, the owner is the active window.
  EXPECT_EQ(activeInInit, backend.Find(kMainDialogId));
  EXPECT_EQ(activeWhenShown, backend.Find(kSettingsDialogId));
  EXPECT_EQ(activeInDestroy, backend.Find(kMainDialogId));
}

TEST(MessageBoxCaption, WithoutAnApplicationTheProgramFilesNameIsTheCaption) {
  ASSERT_EQ(App::Current(), nullptr);
  headless::HeadlessBackend backend;
  platform::ScopedOverride inForce(BackendInForce(), &backend);
  backend.Answer(kIdOk);
  MessageBox("x");
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].caption, "platform_dialog_test");
}

TEST_F(ModalNesting, SettingATimerAgainReplacesIt) {
  MainDialog d;
  // Timer 1 set again at 100 ms replaces the 75 ms one instead of running
  // beside it.
  backend.Wait(50).Do([&] { d.SetTimer(kMarqueeTimer, 100); }).Wait(100).Do([&] { d.KillTimer(kMarqueeTimer); })
      .Wait(1000).Escape();
  d.DoModal();
  EXPECT_EQ(d.ticks, 1);
}

}  // namespace
}  // namespace demo
