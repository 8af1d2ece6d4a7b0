#include "platform/dialog/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/dialog/window.h"
#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

using ModalNesting = ScriptTest;

// What the backend records of a box: its owner's title when it opened and
// its own title when it was answered, as a marquee left them.
TEST_F(ModalNesting, ABoxIsRecordedWithItsOwnersTitleAndItsTitleWhenAnswered) {
  MainDialog d;
  backend_
      .Wait(75)                       // tick 1: the main dialog's title
      .MenuCommand(kSettingsCommand)  // the settings dialog
      .Wait(75)                       // tick 2: its title
      .Click(kAskButton)              // a box from inside it
      .Wait(150)                      // ticks 3 and 4: the box's title
      .Answer(kIdNo)
      .Click(kIdCancel)
      .Click(kIdOk);
  EXPECT_EQ(d.DoModal(), kIdOk);
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  const headless::MessageBoxRecord& box = backend_.MessageBoxes()[0];
  EXPECT_EQ(box.owner, Sj("ティック 2"));
  EXPECT_EQ(box.caption, Sj("確認"));
  EXPECT_EQ(box.buttons, Buttons::kYesNo);
  EXPECT_EQ(box.answer, kIdNo);
  EXPECT_EQ(box.title, Sj("ティック 4"));
  EXPECT_EQ(backend_.Find(kSettingsDialogId)->Owner(), Sj("ティック 1"));
  EXPECT_EQ(backend_.Now(), 300);
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
  backend_.Click(kSearchButton)
      .Click(kAskButton)
      .Answer(kIdYes)
      .Answer(kIdNo)
      .Type(kPathEdit, "p")
      .Click(kIdOk)
      .Click(kSearchButton)
      .Click(kIdCancel)
      .Escape();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(answers[0], kIdYes);
  EXPECT_EQ(answers[1], kIdNo);
  EXPECT_EQ(backend_.MessageBoxes().size(), 2u);
}

TEST_F(ModalNesting, AnEventForTheDialogBelowAMessageBoxIsAFaultAndWaits) {
  expectErrors_ = true;
  MainDialog d;
  backend_.SysCommand(kAboutSysCommand).Click(kSearchButton).Escape();
  d.DoModal();
  // The box took its default answer; the click then reached the dialog.
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_.MessageBoxes()[0].answer, kIdOk);
  EXPECT_EQ(d.searches, 1);
  ASSERT_EQ(backend_.Errors().size(), 1u);
  EXPECT_NE(backend_.Errors()[0].find("click"), std::string::npos);
}

TEST_F(ModalNesting, AnAnswerThatIsNotAButtonOfTheBoxIsAFault) {
  expectErrors_ = true;
  int answer = 0;
  backend_.Answer(kIdOk);
  answer = MessageBox("q", "c", Buttons::kYesNo);
  EXPECT_EQ(answer, kIdYes);
  EXPECT_EQ(backend_.Errors().size(), 1u);
}

TEST_F(ModalNesting, AMessageBoxWithNothingOpenHasNoOwnerAndTheProgramsName) {
  backend_.Answer(kIdOk);
  EXPECT_EQ(ActiveWindow(), nullptr);
  EXPECT_EQ(MessageBox(Sj("ファイルがありません。")), kIdOk);
  ASSERT_EQ(backend_.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend_.MessageBoxes()[0].owner, "");
  EXPECT_EQ(backend_.MessageBoxes()[0].caption, Sj("デモ"));
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
  backend_.Wait(50)
      .Do([&] { d.SetTimer(kMarqueeTimer, 100); })
      .Wait(100)
      .Do([&] { d.KillTimer(kMarqueeTimer); })
      .Wait(1000)
      .Escape();
  d.DoModal();
  EXPECT_EQ(d.ticks, 1);
}

}  // namespace
}  // namespace demo
