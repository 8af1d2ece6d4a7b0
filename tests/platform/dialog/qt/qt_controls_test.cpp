#include "platform/dialog/qt/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/dialog/app.h"
#include "platform/dialog/backend.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/qt/dialog_text.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/qt/qt_script.h"

namespace {

using namespace platform::dialog;
using namespace qt_test;
using platform::text::Cp932;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

enum : int {
  kWrapButton = 10,
  kDisabledButton = 11,
  kPlainRadio = 12,
  kPlainRadio2 = 13,
  kAutoCheck = 14,
  kPlainCheck = 15,
  kRightEdit = 16,
  kHiddenEdit = 17,
  kLimitedEdit = 18,
  kWrapEdit = 19,
};

// Every kind of control with the styles the programs use that the demo
// dialog leaves out.
const DialogTemplate kGallery = {
    .id = 900,
    .caption = "見本",
    .width = 220,
    .height = 140,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu | kMinimiseBox,
    .controls = {
        {kWrapButton,
         ControlKind::kPushButton,
         "形式：詳しい町名ー県ー番号ー市名ー漢字町名",
         {5, 5, 60, 30},
         kMultiLine | kTabStop},
        {kDisabledButton, ControlKind::kPushButton, "ファイル分割開始（県別）", {70, 5, 80, 14}, kDisabled | kTabStop},
        {kPlainRadio, ControlKind::kRadioButton, "手動", {5, 40, 40, 10}, kGroup | kTabStop},
        {kPlainRadio2, ControlKind::kRadioButton, "手動２", {50, 40, 40, 10}},
        {kAutoCheck, ControlKind::kCheckBox, "自動", {5, 52, 40, 10}, kAuto | kGroup | kTabStop},
        {kPlainCheck, ControlKind::kCheckBox, "手動チェック", {50, 52, 60, 10}, kTabStop},
        {kNoId, ControlKind::kStatic, "オプション", {5, 64, 40, 8}, kDisabled},
        {kNoId, ControlKind::kStatic, "右寄せ", {50, 64, 60, 8}, kRightAlign},
        {kRightEdit, ControlKind::kEdit, "123", {5, 76, 60, 12}, kRightAlign | kBorder | kTabStop},
        {kHiddenEdit, ControlKind::kEdit, "", {70, 76, 40, 12}, kHidden | kDisabled | kBorder},
        {kLimitedEdit, ControlKind::kEdit, "", {5, 92, 60, 12}, kAutoHScroll | kBorder | kTabStop, 4},
        {kNoId, ControlKind::kGroupBox, "枠", {115, 30, 100, 62}},
        {kWrapEdit, ControlKind::kEdit, "", {120, 42, 90, 44}, kMultiLine | kVScrollBar | kBorder | kTabStop},
        {kNoId, ControlKind::kIcon, "", {190, 5, 20, 20}, 0, 0, 128},
        {kIdOk, ControlKind::kPushButton, "OK", {145, 120, 32, 14}, kDefault | kTabStop},
        {kIdCancel, ControlKind::kPushButton, "ｷｬﾝｾﾙ", {182, 120, 32, 14}, kTabStop},
    }};

class GalleryDialog : public Dialog {
 public:
  GalleryDialog() : Dialog(kGallery) {
    for (int id : {kWrapButton, kDisabledButton, kPlainRadio, kPlainRadio2, kAutoCheck, kPlainCheck})
      Bind(id, Notification::kClicked, [this, id] { clicks.push_back(id); });
  }
  std::vector<int> clicks;
};

class QtControls : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(script_.Finished()) << "the script did not run to its end"; }

  App app_{Cp932("見本")};
  platform::ScopedOverride<Backend*> inForce_{BackendInForce(), &TheQtBackend()};
  Script script_;
};

template <typename T>
T* Widget(int id) {
  return qobject_cast<T*>(TopDialog()->ControlWidget(id));
}

TEST_F(QtControls, AMultiLineButtonWrapsItsCaptionAndADisabledOneTakesNoClick) {
  GalleryDialog d;
  script_.At(1, [&] {
    auto* wrap = Widget<QPushButton>(kWrapButton);
    ASSERT_NE(wrap, nullptr);
    auto* label = wrap->findChild<qtd::DialogText*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), U("形式：詳しい町名ー県ー番号ー市名ー漢字町名"));
    // The caption is drawn over more than one line inside the button.
    EXPECT_GT(label->heightForWidth(label->width()), label->pitch());
    EXPECT_EQ(d.Text(kWrapButton), Cp932("形式：詳しい町名ー県ー番号ー市名ー漢字町名"));
    d.SetText(kWrapButton, Cp932("新しい見出し"));
    EXPECT_EQ(label->text(), U("新しい見出し"));
    ClickControl(kWrapButton);
    ClickControl(kDisabledButton);
    EXPECT_EQ(d.clicks, (std::vector<int>{kWrapButton}));
    EXPECT_FALSE(d.IsEnabled(kDisabledButton));
    d.Enable(kDisabledButton, true);
    ClickControl(kDisabledButton);
    EXPECT_EQ(d.clicks, (std::vector<int>{kWrapButton, kDisabledButton}));
    ClickControl(kIdCancel);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
}

TEST_F(QtControls, PlainRadioButtonsAndCheckBoxesLeaveTheirCheckToTheProgram) {
  GalleryDialog d;
  script_.At(1, [&] {
    ClickControl(kPlainRadio);
    ClickControl(kPlainCheck);
    EXPECT_EQ(d.clicks, (std::vector<int>{kPlainRadio, kPlainCheck}));
    EXPECT_EQ(d.Check(kPlainRadio), 0);
    EXPECT_FALSE(Widget<QRadioButton>(kPlainRadio)->isChecked());
    EXPECT_EQ(d.Check(kPlainCheck), 0);
    d.CheckRadio(kPlainRadio2);
    EXPECT_TRUE(Widget<QRadioButton>(kPlainRadio2)->isChecked());
    // An automatic check box turns itself on and off.
    ClickControl(kAutoCheck);
    EXPECT_EQ(d.Check(kAutoCheck), 1);
    ClickControl(kAutoCheck);
    EXPECT_EQ(d.Check(kAutoCheck), 0);
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

TEST_F(QtControls, StaticsAndOneLineEditsTakeTheirStyles) {
  GalleryDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    auto* disabledLabel = dynamic_cast<qtd::DialogText*>(window->ControlWidgetAt(6));
    auto* rightLabel = dynamic_cast<qtd::DialogText*>(window->ControlWidgetAt(7));
    ASSERT_NE(disabledLabel, nullptr);
    ASSERT_NE(rightLabel, nullptr);
    EXPECT_FALSE(disabledLabel->isEnabled());
    EXPECT_TRUE(rightLabel->alignment() & Qt::AlignRight);
    EXPECT_TRUE(Widget<QLineEdit>(kRightEdit)->alignment() & Qt::AlignRight);
    EXPECT_EQ(d.Text(kRightEdit), "123");
    // The hidden, disabled edit shows when asked, and stays disabled.
    EXPECT_FALSE(d.IsVisible(kHiddenEdit));
    EXPECT_FALSE(Widget<QLineEdit>(kHiddenEdit)->isVisible());
    d.ShowControl(kHiddenEdit, true);
    EXPECT_TRUE(Widget<QLineEdit>(kHiddenEdit)->isVisible());
    EXPECT_FALSE(d.IsEnabled(kHiddenEdit));
    // The template's text limit holds for typing.
    QWidget* limited = window->ControlWidget(kLimitedEdit);
    Click(limited);
    Type(limited, U("abcdef"));
    EXPECT_EQ(d.Text(kLimitedEdit), "abcd");
    d.SetTextLimit(kLimitedEdit, 0);
    Type(limited, U("ef"));
    EXPECT_EQ(d.Text(kLimitedEdit), "abcdef");
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

TEST_F(QtControls, AMultiLineEditWithoutWantReturnKeepsItsLimitAndEnterPressesTheDefault) {
  GalleryDialog d;
  script_.At(1, [&] {
    auto* edit = Widget<QTextEdit>(kWrapEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->lineWrapMode(), QTextEdit::WidgetWidth);
    Click(edit);
    Type(edit, U("一行目"));
    // A limit holds in multi-line edits too, counted in CP932 bytes.
    d.SetTextLimit(kWrapEdit, 8);
    Type(edit, U("二行"));
    EXPECT_EQ(d.Text(kWrapEdit), Cp932("一行目二"));
    Key(edit, Qt::Key_Return);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdOk);
}

TEST_F(QtControls, TheSystemMenuOfAMinimisableDialogMinimisesAndRestores) {
  GalleryDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    QMenu* menu = window->SystemMenu();
    ASSERT_NE(menu, nullptr);
    QAction* minimise = nullptr;
    for (QAction* action : menu->actions())
      if (action->text() == U("最小化(&N)")) minimise = action;
    ASSERT_NE(minimise, nullptr);
    minimise->trigger();
    EXPECT_TRUE(d.IsMinimised());
    window->Widget()->showNormal();
    EXPECT_FALSE(d.IsMinimised());
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

TEST_F(QtControls, ScreenshotOfEveryKindOfControl) {
  GalleryDialog d;
  script_.At(1, [&] {
    d.SetText(kWrapEdit, Cp932("折り返す複数行のエディットボックスの見本です。"));
    QString path = ScreenshotPath("qt_gallery.png");
    EXPECT_TRUE(TopDialog()->Widget()->grab().save(path, "PNG"));
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

}  // namespace
