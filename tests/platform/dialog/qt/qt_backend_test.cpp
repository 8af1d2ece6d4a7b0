#include "platform/dialog/qt/qt_backend.h"

#include <gtest/gtest.h>

#include <sys/wait.h>  // WIFEXITED

#include <cstdio>      // popen
#include <cstdlib>     // setenv, unsetenv, getenv, std::abs
#include <filesystem>  // read_symlink
#include <string>
#include <utility>  // std::pair
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCheckBox>
#include <QDialog>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/display_check.h"
#include "platform/help_viewer.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/qt/controls.h"
#include "platform/dialog/qt/dialog_text.h"
#include "platform/dialog/qt/icons.h"
#include "platform/dialog/qt/dialog_units.h"
#include "platform/dialog/qt/menu_strip.h"
#include "platform/dialog/qt/qt_help_viewer.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/demo_dialog.h"
#include "tests/platform/dialog/qt/keypad_dialog.h"
#include "tests/platform/dialog/qt/qt_script.h"

namespace demo {
namespace {

using namespace platform::dialog;
using namespace qt_test;
using platform::text::Cp932;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A two-colour icon, so that the window has something to show.
IconResource DemoIcon() {
  IconResource icon;
  icon.id = kIconId;
  for (int size : {32, 16}) {
    IconImage image;
    image.size = size;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) image.argb.push_back((x + y) % 2 == 0 ? 0xFFCC2020u : 0xFFFFFFFFu);
    icon.images.push_back(image);
  }
  return icon;
}

class QtDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterIcon(DemoIcon()); }
  void TearDown() override {
    EXPECT_TRUE(script_.Finished()) << "the script did not run to its end";
    EXPECT_TRUE(TheQtBackend().ModalStack().empty());
  }

  DemoApp app_;
  platform::ScopedOverride<Backend*> inForce_{BackendInForce(), &TheQtBackend()};
  Script script_;
};

// Widgets and what they show.

using QtWindowBuilding = QtDialogTest;

TEST_F(QtWindowBuilding, EveryTemplateControlIsAWidgetOfItsKindInItsPlace) {
  MainDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    ASSERT_NE(window, nullptr);
    const DialogTemplate& tmpl = MainTemplate();
    qtd::BaseUnits units = window->Units();
    EXPECT_EQ(window->Client()->size(),
              QSize(qtd::DluToPixelsX(tmpl.width, units), qtd::DluToPixelsY(tmpl.height, units)));
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
      const ControlTemplate& c = tmpl.controls[i];
      SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(c.id));
      // Looked up in the real widget tree, not in the window's own list.
      auto* w = window->Widget()->findChild<QWidget*>(qtd::ControlObjectName(c, static_cast<int>(i)));
      ASSERT_NE(w, nullptr) << "the control is missing from the window";
      EXPECT_EQ(w->parentWidget(), window->Client());
      QString text = QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
      bool multiLine = (c.style & kMultiLine) != 0;
      switch (c.kind) {
        case ControlKind::kPushButton:
          ASSERT_NE(qobject_cast<QPushButton*>(w), nullptr);
          EXPECT_EQ(static_cast<QPushButton*>(w)->text(), text);
          EXPECT_EQ(static_cast<QPushButton*>(w)->isDefault(), (c.style & kDefault) != 0);
          break;
        case ControlKind::kRadioButton:
          ASSERT_NE(qobject_cast<QRadioButton*>(w), nullptr);
          EXPECT_EQ(static_cast<QRadioButton*>(w)->text(), text);
          break;
        case ControlKind::kCheckBox:
          ASSERT_NE(qobject_cast<QCheckBox*>(w), nullptr);
          EXPECT_EQ(static_cast<QCheckBox*>(w)->text(), text);
          break;
        case ControlKind::kGroupBox:
          ASSERT_NE(dynamic_cast<qtd::GroupFrame*>(w), nullptr);
          EXPECT_EQ(dynamic_cast<qtd::GroupFrame*>(w)->title(), text);
          break;
        case ControlKind::kStatic:
          ASSERT_NE(dynamic_cast<qtd::DialogText*>(w), nullptr);
          EXPECT_EQ(dynamic_cast<qtd::DialogText*>(w)->text(), text);
          break;
        case ControlKind::kEdit:
          if (multiLine) {
            ASSERT_NE(qobject_cast<QTextEdit*>(w), nullptr);
            EXPECT_EQ(static_cast<QTextEdit*>(w)->isReadOnly(), (c.style & kReadOnly) != 0);
            EXPECT_EQ(static_cast<QTextEdit*>(w)->frameShape() != QFrame::NoFrame, (c.style & kBorder) != 0);
          } else {
            ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr);
            EXPECT_EQ(static_cast<QLineEdit*>(w)->isReadOnly(), (c.style & kReadOnly) != 0);
            EXPECT_EQ(static_cast<QLineEdit*>(w)->hasFrame(), (c.style & kBorder) != 0);
          }
          break;
        case ControlKind::kIcon:
          ASSERT_NE(qobject_cast<QLabel*>(w), nullptr);
          EXPECT_FALSE(static_cast<QLabel*>(w)->pixmap().isNull()) << "the icon shows no image";
          break;
      }
      if (auto* text = dynamic_cast<qtd::DialogText*>(w)) {
        // A static text's widget reaches past its rectangle to hold the ink.
        EXPECT_EQ(w->geometry().adjusted(0, text->bleed(), 0, -text->bleed()), qtd::DluToPixels(c.rect, units));
      } else if (c.kind != ControlKind::kIcon) {
        EXPECT_EQ(w->geometry(), qtd::DluToPixels(c.rect, units));
      }
      EXPECT_EQ(w->isEnabled(), (c.style & kDisabled) == 0);
      EXPECT_EQ(w->isVisible(), (c.style & kHidden) == 0);
    }
    ClickControl(kIdOk);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdOk);
}

// The rows of `widget` that its own painting (no background) inks.
std::pair<int, int> InkRows(QWidget* widget) {
  QImage image(widget->size(), QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

// The search application's main window is 443 x 295 units in the 9-point
// Japanese face: about 665 x 480 pixels at 96 dots per inch on the desktop
// it was drawn for, and so here, whatever face stands in.
TEST_F(QtWindowBuilding, AMainWindowSizedTemplateComesOutAt665By480WithItsTextsWhole) {
  keypad::RegisterKeypadIcon();
  keypad::KeypadDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    ASSERT_NE(window, nullptr);
    QFontInfo info(window->Widget()->font());
    EXPECT_EQ(info.family(), U("IPAPGothic"));
    EXPECT_EQ(info.pixelSize(), 12);  // 9 points at 96 dots per inch
    QSize client = window->Client()->size();
    EXPECT_NEAR(client.width(), 665, 665 * 5 / 100);
    EXPECT_NEAR(client.height(), 480, 480 * 5 / 100);
    // A one-line text stands whole in the middle of its rectangle: its ink
    // is as tall as where it has room to spare, with as much room above as
    // below.
    const DialogTemplate& tmpl = keypad::KeypadTemplate();
    int checked = 0;
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
      const ControlTemplate& c = tmpl.controls[i];
      if (c.kind != ControlKind::kStatic || c.rect.height >= 16) continue;
      auto* text = dynamic_cast<qtd::DialogText*>(window->ControlWidgetAt(static_cast<int>(i)));
      ASSERT_NE(text, nullptr);
      SCOPED_TRACE(text->text().toStdString());
      qtd::DialogText roomy(nullptr, text->pitch());
      roomy.setFont(text->font());
      roomy.setText(text->text());
      roomy.resize(text->width(), text->height() + 2 * text->pitch());
      auto [first, last] = InkRows(text);
      auto [roomyFirst, roomyLast] = InkRows(&roomy);
      EXPECT_EQ(last - first, roomyLast - roomyFirst);
      int room = text->height() - 2 * text->bleed();
      EXPECT_LE(std::abs((first - text->bleed()) - (room - 1 - (last - text->bleed()))), 2);
      ++checked;
    }
    EXPECT_GT(checked, 5);
    ClickControl(kIdOk);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdOk);
}

// A group box draws its frame half a line below its top, with its title
// in that edge, as a dialog system does; the members the template puts
// inside it stay clear of the frame.
TEST_F(QtWindowBuilding, GroupBoxesRunTheirTitleInTheTopEdgeClearOfTheirMembers) {
  keypad::RegisterKeypadIcon();
  keypad::KeypadDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    const DialogTemplate& tmpl = keypad::KeypadTemplate();
    int pitch = window->Units().y;
    int groups = 0;
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
      if (tmpl.controls[i].kind != ControlKind::kGroupBox) continue;
      QWidget* frame = window->ControlWidgetAt(static_cast<int>(i));
      SCOPED_TRACE(dynamic_cast<qtd::GroupFrame*>(frame)->title().toStdString());
      QImage image = frame->grab().toImage();
      // The top edge: the first row dark along most of the width.
      QRgb face = window->Client()->palette().color(QPalette::Window).rgb();
      int edge = -1;
      for (int y = 0; y < image.height() && edge < 0; ++y) {
        int dark = 0;
        for (int x = 0; x < image.width(); ++x)
          if (qGray(image.pixel(x, y)) < qGray(face) - 40) ++dark;
        if (dark > image.width() / 2) edge = y;
      }
      EXPECT_NEAR(edge, pitch / 2, 1);
      // The title is written across that edge: its ink reaches below it.
      QImage title = image.copy(window->Units().x + 1, edge + 2, image.width() / 3, pitch);
      bool below = false;
      for (int y = 0; y < title.height() && !below; ++y)
        for (int x = 0; x < title.width(); ++x)
          if (qGray(title.pixel(x, y)) < qGray(face) - 80) below = true;
      EXPECT_TRUE(below);
      // Members: controls whose rectangle lies within the group's.
      QRect inner = frame->geometry().adjusted(2, edge + 2, -2, -2);
      const Rect& g = tmpl.controls[i].rect;
      for (std::size_t j = 0; j < tmpl.controls.size(); ++j) {
        const Rect& m = tmpl.controls[j].rect;
        if (j == i || m.x < g.x || m.y < g.y || m.x + m.width > g.x + g.width || m.y + m.height > g.y + g.height)
          continue;
        QWidget* member = window->ControlWidgetAt(static_cast<int>(j));
        QRect drawn = member->geometry();
        if (auto* text = dynamic_cast<qtd::DialogText*>(member)) drawn.adjust(0, text->bleed(), 0, -text->bleed());
        EXPECT_TRUE(inner.contains(drawn)) << "member " << j;
      }
      ++groups;
    }
    EXPECT_EQ(groups, 7);
    ClickControl(kIdOk);
  });
  script_.Start();
  d.DoModal();
}

TEST_F(QtWindowBuilding, ScreenshotOfTheDemoDialogShowsItsJapaneseTexts) {
  MainDialog d;
  QString path;
  script_.At(1, [&] {
    ClickControl(kSearchButton);
    d.SetText(kSearchEdit, Cp932("ﾎｯｶｲﾄﾞｳ\r\n札幌市"));
    qtd::QtDialogWindow* window = TopDialog();
    ASSERT_NE(window, nullptr);
    QImage shot = window->Widget()->grab().toImage();
    path = ScreenshotPath("qt_demo_main.png");
    EXPECT_TRUE(shot.save(path, "PNG"));
    // The heading label must have ink in it: glyphs were drawn.
    QWidget* heading = window->ControlWidgetAt(0);
    QRect area(heading->mapTo(window->Widget(), QPoint(0, 0)), heading->size());
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (qGray(shot.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 50) << "the heading looks empty in " << path.toStdString();
    ClickControl(kIdOk);
  });
  script_.Start();
  d.DoModal();
  EXPECT_FALSE(path.isEmpty());
}

// The user's actions and the reactions they reach.

using QtReactions = QtDialogTest;

TEST_F(QtReactions, ClicksOnButtonsAndRadioButtonsReachTheirReactions) {
  MainDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    ASSERT_NE(window, nullptr);
    ClickControl(kSearchButton);
    ClickControl(kSearchButton);
    EXPECT_EQ(d.searches, 2);
    EXPECT_EQ(static_cast<QTextEdit*>(window->ControlWidget(kResultEdit))->toPlainText(), U("件数 2"));
    EXPECT_EQ(d.Text(kResultEdit), Cp932("件数 2"));

    // Automatic radio buttons check themselves and clear their group only.
    EXPECT_EQ(d.Check(kModeLeft), 1);
    ClickControl(1139);
    ClickControl(1140);
    EXPECT_EQ(d.targetClicks, (std::vector<int>{1139, 1140}));
    EXPECT_EQ(d.CheckedRadio(kTargetFirst), 1140);
    EXPECT_FALSE(static_cast<QRadioButton*>(window->ControlWidget(1139))->isChecked());
    EXPECT_EQ(d.Check(kModeLeft), 1);
    ClickControl(kModeRight);
    EXPECT_EQ(d.CheckedRadio(kModeLeft), kModeRight);
    EXPECT_EQ(d.CheckedRadio(kTargetFirst), 1140);
    // A second click on a checked automatic radio button keeps it checked.
    ClickControl(kModeRight);
    EXPECT_EQ(d.Check(kModeRight), 1);

    // A disabled check box takes no click.
    ClickControl(kOptionCheck);
    EXPECT_EQ(d.Check(kOptionCheck), 0);
    Key(window->ControlWidget(kSearchButton), Qt::Key_Escape);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_TRUE(d.destroyed);
}

TEST_F(QtReactions, ArrowKeysMoveAlongARadioGroupAndClickAutomaticButtons) {
  MainDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    ClickControl(1139);
    Key(window->ControlWidget(1139), Qt::Key_Right);
    Key(window->ControlWidget(1140), Qt::Key_Left);
    Key(window->ControlWidget(1139), Qt::Key_Up);
    // Round the start of the group to its end; the mode group is another.
    Key(window->ControlWidget(1138), Qt::Key_Left);
    EXPECT_EQ(d.targetClicks, (std::vector<int>{1139, 1140, 1139, 1138, 1141}));
    EXPECT_EQ(d.Focused(), 1141);
    EXPECT_EQ(d.CheckedRadio(kTargetFirst), 1141);
    EXPECT_EQ(d.CheckedRadio(kModeLeft), kModeLeft);
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

// From ほ the arrow keys go to the neighbouring keys of the grid, as on the
// terminal: Right the next column (の), Down the button under it (前入力へ),
// Left の's other side (も), Up the row above (へ). Qt's own handling sent
// Right and Down both down the column.
TEST_F(QtReactions, ArrowKeysFromAKeyGoToItsNeighboursOnTheKeypadsGrid) {
  keypad::KeypadDialog d;
  const int kHo = 1174;
  std::vector<int> reached;
  script_.At(1, [&] {
    for (int key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
      d.SetFocusTo(kHo);
      Key(TopDialog()->ControlWidget(kHo), key);
      reached.push_back(d.Focused());
    }
    Key(TopDialog()->ControlWidget(d.Focused()), Qt::Key_Escape);
  });
  script_.Start();
  d.DoModal();
  EXPECT_EQ(reached, (std::vector<int>{1169, 1225, 1179, 1173}));
}

TEST_F(QtReactions, TypingReportsEachChangeAndAWantReturnEditKeepsItsLineBreaks) {
  MainDialog d;
  script_.At(1, [&] {
    QWidget* edit = TopDialog()->ControlWidget(kSearchEdit);
    Click(edit);
    Type(edit, U("ab"));
    Key(edit, Qt::Key_Return);
    Type(edit, U("ｶ札"));
    EXPECT_EQ(d.searchChanges,
              (std::vector<std::string>{"a", "ab", "ab\r\n", "ab\r\n" + Cp932("ｶ"), "ab\r\n" + Cp932("ｶ札")}));
    // Enter went into the text: the dialog is still open.
    EXPECT_TRUE(d.IsRunning());
    EXPECT_EQ(d.Text(kSearchEdit), "ab\r\n" + Cp932("ｶ札"));
    ClickControl(kIdOk);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdOk);
}

TEST_F(QtReactions, ReadOnlyEditsTakeTheFocusButNoTyping) {
  MainDialog d;
  script_.At(1, [&] {
    QWidget* letter = TopDialog()->ControlWidget(kLetterEdit);
    Click(letter);
    Type(letter, U("ｱ"));
    EXPECT_EQ(d.Text(kLetterEdit), "");
    Click(TopDialog()->ControlWidget(kCityEdit));
    EXPECT_EQ(d.focusEvents, (std::vector<int>{kLetterEdit, kCityEdit}));
    EXPECT_EQ(d.Focused(), kCityEdit);
    ClickControl(kIdCancel);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
}

TEST_F(QtReactions, TheCloseBoxEndsTheDialogAsCancel) {
  MainDialog d;
  script_.At(1, [&] { TopDialog()->Widget()->close(); });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_TRUE(d.destroyed);
}

// Edits: limits and the CP932 repertoire.

using QtEdits = QtDialogTest;

TEST_F(QtEdits, CharactersCp932CannotHoldAreRefused) {
  SettingsDialog s;
  script_.At(1, [&] {
    QWidget* edit = TopDialog()->ControlWidget(kPathEdit);
    Click(edit);
    Type(edit, U("a😀b한"));  // an emoji and a Hangul syllable
    EXPECT_EQ(s.Text(kPathEdit), "ab");
    ClickControl(kIdCancel);
  });
  script_.Start();
  EXPECT_EQ(s.DoModal(), kIdCancel);
}

TEST_F(QtEdits, AProgramTextPastTheLimitStaysAndCanBeShortened) {
  SettingsDialog s;
  script_.At(1, [&] {
    s.SetText(kPathEdit, "c:\\Zip_Code\\");  // 12 bytes, over the limit of 10
    QWidget* edit = TopDialog()->ControlWidget(kPathEdit);
    Click(edit);
    static_cast<QLineEdit*>(edit)->end(false);
    Type(edit, U("x"));
    EXPECT_EQ(s.Text(kPathEdit), "c:\\Zip_Code\\");
    Key(edit, Qt::Key_Backspace);
    EXPECT_EQ(s.Text(kPathEdit), "c:\\Zip_Code");
    ClickControl(kIdOk);
  });
  // Reading back 11 bytes fails the check: the platform's message comes.
  script_.At(2, [&] {
    ASSERT_NE(TopBox(), nullptr);
    EXPECT_EQ(TopBox()->Text(), TooLongMessage(10));
    ClickBoxButton(U("OK"));
  });
  script_.At(1, [&] { ClickControl(kIdCancel); });
  script_.Start();
  EXPECT_EQ(s.DoModal(), kIdCancel);
}

TEST_F(QtEdits, MultiLineEditsShowCrLfAsLineBreaksAndGiveThemBack) {
  MainDialog d;
  script_.At(1, [&] {
    d.SetText(kResultEdit, "a\r\nb\r\n");
    auto* edit = static_cast<QTextEdit*>(TopDialog()->ControlWidget(kResultEdit));
    EXPECT_EQ(edit->toPlainText(), U("a\nb\n"));
    EXPECT_EQ(edit->document()->blockCount(), 3);
    EXPECT_EQ(d.Text(kResultEdit), "a\r\nb\r\n");
    // The result box is right-aligned and scrolls both ways.
    EXPECT_EQ(edit->document()->defaultTextOption().alignment(), Qt::AlignRight);
    EXPECT_EQ(edit->lineWrapMode(), QTextEdit::FixedPixelWidth);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    ClickControl(kIdCancel);
  });
  script_.Start();
  d.DoModal();
}

// Menus: the menu bar and the system menu.

using QtMenus = QtDialogTest;

TEST_F(QtMenus, AMenuBarCommandReachesTheApplicationAndRunsANestedDialog) {
  MainDialog d;
  QWidget* mainWidget = nullptr;
  script_.At(1, [&] {
    mainWidget = TopDialog()->Widget();
    qtd::MenuStrip* bar = TopDialog()->Strip();
    ASSERT_NE(bar, nullptr);
    int settings = -1;
    for (int i = 0; i < bar->ItemCount(); ++i)
      if (bar->ItemAt(i).text == U("初期設定画面")) settings = i;
    ASSERT_GE(settings, 0);
    ClickAt(bar, bar->ItemRect(settings).center());
  });
  script_.At(2, [&] {
    ASSERT_NE(TopDialog(), nullptr);
    // The settings dialog, known by its path field: its title may already
    // be the marquee's, which the main dialog's timer writes into whatever
    // window is active.
    EXPECT_NE(TopDialog()->ControlWidget(kPathEdit), nullptr);
    // Made without a parent, the dialog is owned by the active window.
    EXPECT_EQ(TopDialog()->Widget()->parentWidget(), mainWidget);
    ClickControl(kIdCancel);
  });
  script_.At(1, [&] { ClickControl(kIdCancel); });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(app_.settingsRuns, 1);
}

// Whether the strip draws the item at `index` highlighted.
bool DrawnHighlighted(qtd::MenuStrip* strip, int index) {
  QImage image = strip->grab(strip->ItemRect(index)).toImage();
  QColor highlight = strip->palette().color(QPalette::Active, QPalette::Highlight);
  int hits = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (QColor(image.pixel(x, y)) == highlight) ++hits;
  return hits > image.width() * image.height() / 4;
}

TEST_F(QtMenus, TheBarAnswersAltAndF10ArrowsEnterAndEscapeAndGivesTheFocusBack) {
  MainDialog d;
  std::vector<int> commands;
  for (int command : {kSettingsCommand, kAboutCommand})
    d.Bind(command, Notification::kCommand, [&commands, command] { commands.push_back(command); });
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    qtd::MenuStrip* strip = window->Strip();
    QWidget* edit = window->ControlWidget(kSearchEdit);
    ASSERT_EQ(d.Focused(), kSearchEdit);
    Key(edit, Qt::Key_F10);
    EXPECT_TRUE(strip->InKeyboardMode());
    EXPECT_EQ(strip->Highlighted(), 0);
    EXPECT_TRUE(DrawnHighlighted(strip, 0));
    // Round the two commands both ways.
    Key(strip, Qt::Key_Right);
    EXPECT_EQ(strip->Highlighted(), 1);
    EXPECT_TRUE(DrawnHighlighted(strip, 1));
    EXPECT_FALSE(DrawnHighlighted(strip, 0));
    Key(strip, Qt::Key_Right);
    Key(strip, Qt::Key_Left);
    EXPECT_EQ(strip->Highlighted(), 1);
    Key(strip, Qt::Key_Return);
    EXPECT_EQ(commands, (std::vector<int>{kAboutCommand}));
    EXPECT_FALSE(strip->InKeyboardMode());
    EXPECT_EQ(d.Focused(), kSearchEdit);
    // Alt pressed and let go alone does the same; Escape leaves the bar
    // and leaves the dialog open.
    Key(edit, Qt::Key_Alt);
    EXPECT_TRUE(strip->InKeyboardMode());
    EXPECT_EQ(strip->Highlighted(), 0);
    EXPECT_NE(d.Focused(), kSearchEdit);
    Key(strip, Qt::Key_Escape);
    EXPECT_FALSE(strip->InKeyboardMode());
    EXPECT_EQ(d.Focused(), kSearchEdit);
    EXPECT_FALSE(DialogEvents::EndRequested(d));
    EXPECT_EQ(commands.size(), 1u);
    ClickControl(kIdCancel);
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
}

// A dialog with a system menu and no menu bar, that adds an entry of its
// own to the system menu when asked to.
const DialogTemplate kNoMenu = {
    .id = 905,
    .caption = "見本",
    .width = 100,
    .height = 40,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu,
    .controls = {PushButton(kIdOk, "OK", {25, 20, 50, 14}, kDefault | kTabStop)},
};

class EntryDialog : public Dialog {
 public:
  explicit EntryDialog(bool addEntry) : Dialog(kNoMenu), addEntry_(addEntry) {}
  std::vector<int> sysCommands;

 protected:
  bool OnInitDialog() override {
    if (addEntry_) {
      AppendSystemMenuSeparator();
      AppendSystemMenuItem(kAboutSysCommand, Cp932("ﾊﾞｰｼﾞｮﾝ情報 (&A)..."));
      SetIcon(LoadIcon(4711), false);  // no such icon: the plain window's is shown
    }
    return Dialog::OnInitDialog();
  }
  void OnSysCommand(int command) override {
    sysCommands.push_back(command);
    Dialog::OnSysCommand(command);
  }

 private:
  bool addEntry_;
};

TEST_F(QtMenus, AStripWithTheSystemMenuButtonShowsOnlyOnceTheProgramAddsAnEntry) {
  EntryDialog plain(false);
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    EXPECT_EQ(window->SystemMenuButton(), nullptr);
    EXPECT_EQ(window->Client()->geometry().top(), 0);
    EXPECT_EQ(window->Widget()->height(), window->Client()->height());
    ClickControl(kIdOk);
  });
  script_.Start();
  plain.DoModal();

  EntryDialog withEntry(true);
  Script second;
  second.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    QToolButton* button = window->SystemMenuButton();
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    // An icon, never a text standing in for one.
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_TRUE(button->text().isEmpty());
    // A thin strip above the client area holds it.
    int strip = window->Client()->geometry().top();
    EXPECT_GT(strip, button->height() - 1);
    EXPECT_LT(strip, button->height() + 8);
    EXPECT_EQ(window->Widget()->height(), window->Client()->height() + strip);
    EXPECT_TRUE(window->Widget()->grab().save(ScreenshotPath("qt_thin_strip.png"), "PNG"));
    // A right click on the background opens the system menu too.
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(3, 3), window->Client()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(window->Client(), &rightClick);
    QMenu* menu = window->SystemMenu();
    ASSERT_TRUE(menu->isVisible());
    QAction* about = menu->actions().back();
    ClickAt(menu, menu->actionGeometry(about).center());
    EXPECT_EQ(withEntry.sysCommands, (std::vector<int>{kAboutSysCommand}));
    ClickControl(kIdOk);
  });
  second.Start();
  withEntry.DoModal();
  EXPECT_TRUE(second.Finished());
}

TEST_F(QtMenus, AltSpaceOpensTheSystemMenuWithTheAppendedItem) {
  MainDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    Key(window->ControlWidget(kSearchEdit), Qt::Key_Space, Qt::AltModifier);
    QMenu* menu = window->SystemMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    // The space went to the menu, not into the edit.
    EXPECT_EQ(d.Text(kSearchEdit), "");
    QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    QAction* about = actions.back();
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(about->text(), U("ﾊﾞｰｼﾞｮﾝ情報(デモ) (&A)..."));
    QString path = ScreenshotPath("qt_system_menu.png");
    EXPECT_TRUE(menu->grab().save(path, "PNG"));
    ClickAt(menu, menu->actionGeometry(about).center());
  });
  script_.At(2, [&] {
    ASSERT_NE(TopBox(), nullptr);
    EXPECT_EQ(TopBox()->Text(), Cp932("デモ Version 1.00"));
    ClickBoxButton(U("OK"));
  });
  script_.At(1, [&] { ClickControl(kIdCancel); });
  script_.Start();
  d.DoModal();
  EXPECT_EQ(d.sysCommands, (std::vector<int>{kAboutSysCommand}));
}

TEST_F(QtMenus, TheSystemMenuButtonOpensItByMouseAndItsCloseItemCloses) {
  MainDialog d;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = TopDialog();
    ASSERT_NE(window->SystemMenuButton(), nullptr);
    // The button shows the window's small icon, the program's own.
    EXPECT_EQ(window->SystemMenuButton()->icon().pixmap(16).toImage().pixel(0, 0),
              qtd::IconFor(kIconId).pixmap(16).toImage().pixel(0, 0));
    EXPECT_FALSE(window->Widget()->windowIcon().isNull());
    Click(window->SystemMenuButton());
    QMenu* menu = window->SystemMenu();
    ASSERT_TRUE(menu->isVisible());
    QAction* close = nullptr;
    for (QAction* action : menu->actions())
      if (action->text().startsWith(U("閉じる"))) close = action;
    ASSERT_NE(close, nullptr);
    ClickAt(menu, menu->actionGeometry(close).center());
  });
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdCancel);
  EXPECT_EQ(d.sysCommands, (std::vector<int>{kCloseCommand}));
}

// Timers and nesting.

using QtTimers = QtDialogTest;

TEST_F(QtTimers, TicksStopWhenTheDialogEnds) {
  MainDialog d;
  script_.When([&] { return d.ticks >= 1; }, [&] { ClickControl(kIdOk); }, "a tick");
  script_.Start();
  d.DoModal();
  int ticks = d.ticks;
  QTest::qWait(200);
  EXPECT_EQ(d.ticks, ticks);
}

TEST_F(QtTimers, ATickMayKillItsOwnTimerAndSetItAgain) {
  // The tick's timer object goes away inside its own tick.
  class Restarting : public MainDialog {
   protected:
    void OnTimer(int id) override {
      MainDialog::OnTimer(id);
      KillTimer(id);
      if (ticks < 3) SetTimer(id, 10);
    }
  };
  Restarting d;
  script_.When([&] { return d.ticks >= 3; }, [&] { ClickControl(kIdOk); }, "three ticks");
  script_.Start();
  EXPECT_EQ(d.DoModal(), kIdOk);
  EXPECT_EQ(d.ticks, 3);
}

// Message boxes.

using QtMessageBoxes = QtDialogTest;

// Whether the box shows the style's icon `which`, and no button an icon.
void ExpectIcons(qtd::QtMessageBox* box, QStyle::StandardPixmap which) {
  QSize size = box->IconLabel()->pixmap().size();
  QImage expected = box->Box()->style()->standardIcon(which, nullptr, box->Box()).pixmap(size).toImage();
  EXPECT_EQ(box->IconLabel()->pixmap().toImage(), expected);
  for (QPushButton* button : box->ButtonList()) EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
}

TEST_F(QtMessageBoxes, AnOkBoxShowsTheInformationIconAndEscapeOrItsCloseBoxAnswersOk) {
  script_.At(1, [&] {
    qtd::QtMessageBox* box = TopBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Box()->windowTitle(), U("デモ"));  // no caption: the program's name
    EXPECT_EQ(box->TextWidget()->text(), U("＊＊ ファイルが開く事ができません。＊＊"));
    EXPECT_EQ(box->ButtonList().size(), 1);
    ExpectIcons(box, QStyle::SP_MessageBoxInformation);
    QString path = ScreenshotPath("qt_message_box.png");
    EXPECT_TRUE(box->Box()->grab().save(path, "PNG"));
    Key(box->Box(), Qt::Key_Escape);
  });
  script_.At(1, [&] { TopBox()->Box()->close(); });
  script_.Start();
  EXPECT_EQ(MessageBox(Cp932("＊＊ ファイルが開く事ができません。＊＊")), kIdOk);
  EXPECT_EQ(MessageBox(Cp932("＊＊ ファイルが開く事ができません。＊＊")), kIdOk);
}

// A Yes/No box asks a question: Escape and the close box cannot answer it.
TEST_F(QtMessageBoxes, AYesNoBoxShowsTheQuestionIconAndOnlyItsButtonsAnswer) {
  script_.At(1, [&] {
    qtd::QtMessageBox* box = TopBox();
    EXPECT_EQ(box->Box()->windowTitle(), U("ERROR"));
    ExpectIcons(box, QStyle::SP_MessageBoxQuestion);
    Key(box->Box(), Qt::Key_Escape);
    box->Box()->close();
    EXPECT_EQ(TopBox(), box);
    EXPECT_TRUE(box->Box()->isVisible());
    ClickBoxButton(U("はい(&Y)"));
  });
  // The access letter alone answers, as in a dialog.
  script_.At(1, [&] { Key(TopBox()->Box(), Qt::Key_N); });
  script_.Start();
  EXPECT_EQ(MessageBox(Cp932("書けません"), "ERROR", Buttons::kYesNo), kIdYes);
  EXPECT_EQ(MessageBox(Cp932("書けません"), "ERROR", Buttons::kYesNo), kIdNo);
}

TEST_F(QtMessageBoxes, ALongTextWrapsAtASensibleWidthAndAShortOneKeepsTheBoxSmall) {
  int shortWidth = 0;
  script_.At(1, [&] {
    shortWidth = TopBox()->Box()->width();
    ClickBoxButton(U("OK"));
  });
  script_.At(1, [&] {
    qtd::QtMessageBox* box = TopBox();
    qtd::DialogText* text = box->TextWidget();
    // Forty full-width characters a line at most, so several lines here.
    EXPECT_LE(text->width(), 40 * 12);
    EXPECT_GE(text->height(), 3 * text->pitch());
    EXPECT_EQ(text->heightForWidth(text->width()), text->height());
    EXPECT_GT(box->Box()->width(), shortWidth);
    ClickBoxButton(U("OK"));
  });
  script_.Start();
  MessageBox(Cp932("完了"));
  std::string line = Cp932("OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。");
  MessageBox(line + line + line);
  EXPECT_LT(shortWidth, 250);
}

// The platform's choice of backend.

TEST(QtBackendChoice, QtIsAvailableWhereADisplayOrAPlatformIsNamed) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  };
  std::vector<Saved> saved;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    saved.push_back({name, value != nullptr ? value : "", value != nullptr});
    unsetenv(name);
  }
  EXPECT_FALSE(qtd::QtDisplayReachable());
  setenv("DISPLAY", "", 1);
  EXPECT_FALSE(qtd::QtDisplayReachable());
  // A DISPLAY whose server is gone offers no display.
  setenv("DISPLAY", ":4711", 1);
  EXPECT_FALSE(qtd::QtDisplayReachable());
  // Naming X for Qt does not make that server answer.
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  EXPECT_FALSE(qtd::QtDisplayReachable());
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("DISPLAY");
  for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    setenv(name, name[0] == 'Q' ? "offscreen" : "wayland-0", 1);
    EXPECT_TRUE(qtd::QtDisplayReachable()) << name;
    unsetenv(name);
  }
  for (const Saved& s : saved)
    if (s.set) setenv(s.name, s.value.c_str(), 1);
}

TEST(QtBackendChoice, ThePlatformPicksQtWhenADisplayIsNamed) {
  BackendInForce() = nullptr;
  platform::dialog::Backend& chosen = CurrentBackend();
  EXPECT_NE(dynamic_cast<qtd::QtBackend*>(&chosen), nullptr);
  // The chosen backend brought its own help viewer; the tests use theirs.
  platform::HelpViewerInForce() = &qt_test::TheQtBackend().Help();
}

// Runs the demo program with `env` before it; its output and exit status.
struct ProgramRun {
  std::string output;
  int status = -1;
};

ProgramRun RunDemoProgram(const std::string& env) {
  ProgramRun run;
  // The program is built beside this test.
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string program = self.substr(0, self.rfind('/')) + "/qt_demo_program";
  FILE* pipe = popen((env + " '" + program + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TEST(QtBackendChoice, AProgramPicksQtByItselfShowsItsDialogAndEndsCleanly) {
  ProgramRun run = RunDemoProgram("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("result 1 shows 1 destroyed 1\nqt mapped 1"), std::string::npos) << run.output;
}

TEST(QtBackendChoice, AProgramThatDoesNotChooseQtNeverMapsItsLibraries) {
  ProgramRun run = RunDemoProgram("env QT_QPA_PLATFORM=offscreen DIALOG_SCRIPT=/dev/null");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("result 1 shows 1 destroyed 1\nqt mapped 0"), std::string::npos) << run.output;
}

TEST(QtBackendChoice, AProgramWithoutADisplayEndsWithAMessage) {
  ProgramRun run = RunDemoProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("no window system is available"), std::string::npos) << run.output;
  // A DISPLAY left behind by an ended session: the same message, no abort
  // inside Qt.
  run = RunDemoProgram("env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("no window system is available"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace demo
