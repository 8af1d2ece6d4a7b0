// The search application's dialogs as a person sees them, on the Qt backend
// (offscreen): every control of a template is there, no two overlap, and
// every text, the main dialog's captions set at run time included, fits
// its control in the face that stands in for the dialog font. And the main
// dialog after the search for Sapporo, Chuo ward, towns beginning with ﾐﾅ,
// written as a screenshot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/dialog_text.h"
#include "platform/dialog/qt/qt_dialog_window.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "search/ui/app_resources.h"
#include "search/ui/main_dialog.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"
#include "search/ui/tolvane_app.h"
#include "tests/platform/dialog/qt/qt_script.h"
#include "tests/search/ui/tolvane_test_support.h"
#include "tests/support/temp_dir.h"

namespace search::ui {
namespace {

namespace dlg = platform::dialog;
namespace qtd = platform::dialog::qt;
using dlg::ControlKind;
using dlg::ControlTemplate;
using dlg::Rect;
using platform::text::Cp932;

std::string Describe(const ControlTemplate& c, int index) {
  std::string name = c.id != dlg::kNoId ? "control " + std::to_string(c.id) : "row " + std::to_string(index + 1);
  return name + " \"" + std::string(c.text) + "\"";
}

bool Intersect(const Rect& a, const Rect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// A member lies wholly inside its group box and below the line the box's
// title is written in.
bool Holds(const Rect& group, const Rect& member) {
  constexpr int kTitleLine = 8;
  return member.x > group.x && member.x + member.width < group.x + group.width && member.y >= group.y + kTitleLine &&
         member.y + member.height < group.y + group.height;
}

// Why `text` would not be shown whole in `widget`, or "" when it would.
std::string Misfit(QWidget* widget, const ControlTemplate& c, const QString& text, qtd::BaseUnits units) {
  QFontMetricsF metrics(widget->font());
  auto tooWide = [&](qreal needed, int room) {
    return "needs " + std::to_string(static_cast<int>(needed + 0.999)) + " px across, has " + std::to_string(room);
  };
  switch (c.kind) {
    case ControlKind::kPushButton: {
      if (auto* label = widget->findChild<qtd::DialogText*>()) {
        int used = label->heightForWidth(label->width());
        if (used > label->height())
          return "needs " + std::to_string(used) + " px down, has " + std::to_string(label->height());
        return "";
      }
      QStyleOptionButton option;
      option.initFrom(widget);
      option.text = text;
      // A little room on either side, so that no ink touches the frame.
      QRect room =
          widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, widget).adjusted(2, 0, -2, 0);
      if (metrics.horizontalAdvance(text) > room.width()) return tooWide(metrics.horizontalAdvance(text), room.width());
      if (units.y > room.height()) return "a line is higher than the button";
      return "";
    }
    case ControlKind::kRadioButton:
    case ControlKind::kCheckBox: {
      bool radio = c.kind == ControlKind::kRadioButton;
      QStyleOptionButton option;
      option.initFrom(widget);
      option.text = text;
      QRect indicator = widget->style()->subElementRect(
          radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, widget);
      if (!widget->rect().contains(indicator)) return "the indicator is cut";
      if (text.isEmpty()) return "";
      QRect room = widget->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
                                                   &option, widget);
      if (metrics.horizontalAdvance(text) > room.width()) return tooWide(metrics.horizontalAdvance(text), room.width());
      return "";
    }
    case ControlKind::kStatic: {
      auto* label = dynamic_cast<qtd::DialogText*>(widget);
      if (label == nullptr) return "not drawn as a dialog text";
      int room = label->height() - 2 * label->bleed();
      int used = label->heightForWidth(label->width());
      if (used > room) return "needs " + std::to_string(used) + " px down, has " + std::to_string(room);
      return "";
    }
    case ControlKind::kGroupBox: {
      int room = widget->width() - 2 * units.x;
      if (metrics.horizontalAdvance(text) + 1 > room) return tooWide(metrics.horizontalAdvance(text) + 1, room);
      return "";
    }
    case ControlKind::kEdit: {
      auto* line = qobject_cast<QLineEdit*>(widget);
      if (line == nullptr) return "";  // a multi-line edit scrolls
      QStyleOptionFrame option;
      option.initFrom(line);
      option.lineWidth = line->hasFrame() ? line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
      QRect room = line->style()->subElementRect(QStyle::SE_LineEditContents, &option, line);
      if (metrics.height() > room.height())
        return "a line needs " + std::to_string(static_cast<int>(metrics.height() + 0.999)) + " px down, has " +
               std::to_string(room.height());
      return "";
    }
    case ControlKind::kIcon: return "";
  }
  return "";
}

class MainWindowOnQt : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAppResources();
    ASSERT_FALSE(temp_.path().empty());
  }
  void TearDown() override {
    EXPECT_TRUE(script_.Finished()) << "the script did not run to its end";
    EXPECT_TRUE(qt_test::TheQtBackend().ModalStack().empty());
  }

  TempDir temp_;
  TolvaneApp app_;
  platform::ScopedOverride<dlg::Backend*> inForce_{dlg::BackendInForce(), &qt_test::TheQtBackend()};
  qt_test::Script script_;
};

// Rectangles that overlap, other than a group box and its members.
void ExpectNoOverlaps(const dlg::DialogTemplate& tmpl) {
  const std::vector<ControlTemplate>& controls = tmpl.controls;
  for (std::size_t i = 0; i < controls.size(); ++i)
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const ControlTemplate& a = controls[i];
      const ControlTemplate& b = controls[j];
      if (!Intersect(a.rect, b.rect)) continue;
      bool aHolds = a.kind == ControlKind::kGroupBox && b.kind != ControlKind::kGroupBox && Holds(a.rect, b.rect);
      bool bHolds = b.kind == ControlKind::kGroupBox && a.kind != ControlKind::kGroupBox && Holds(b.rect, a.rect);
      EXPECT_TRUE(aHolds || bHolds) << "dialog " << tmpl.id << ": " << Describe(a, static_cast<int>(i)) << " overlaps "
                                    << Describe(b, static_cast<int>(j));
    }
}

// Every control of the template is a widget, shown unless hidden, with its
// text whole.
void ExpectEveryControlWhole(const dlg::DialogTemplate& tmpl, qtd::QtDialogWindow& window) {
  for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
    const ControlTemplate& c = tmpl.controls[i];
    std::string name = "dialog " + std::to_string(tmpl.id) + ": " + Describe(c, static_cast<int>(i));
    QWidget* widget = window.ControlWidgetAt(static_cast<int>(i));
    ASSERT_NE(widget, nullptr) << name << " is missing";
    EXPECT_EQ(widget->isVisible(), (c.style & dlg::kHidden) == 0) << name;
    QString text = QString::fromUtf8(c.text.data(), static_cast<qsizetype>(c.text.size()));
    EXPECT_EQ(Misfit(widget, c, text, window.Units()), "") << name;
  }
}

TEST_F(MainWindowOnQt, NoControlsOverlapAndEveryTextFitsInEveryDialog) {
  testing::WriteSettingsFile(temp_.path() + "/");
  for (const dlg::DialogTemplate* tmpl :
       {&kMainDialogTemplate, &kAboutBoxTemplate, &kSettingsDialogTemplate, &kRegexSearchDialogTemplate}) {
    ExpectNoOverlaps(*tmpl);
    // The layout alone: a dialog without reactions, so that none of them
    // opens a box.
    dlg::Dialog dialog(*tmpl);
    script_.At(1, [&] {
      qtd::QtDialogWindow* window = qt_test::TopDialog();
      ASSERT_NE(window, nullptr);
      ExpectEveryControlWhole(*tmpl, *window);
      dialog.EndDialog(dlg::kIdOk);
    });
    script_.Start();
    dialog.DoModal();
  }

  // The captions the search writes into the main dialog's status line and
  // page button fit them as well.
  MainDialog dialog;
  script_.At(1, [&] {
    qtd::QtDialogWindow* window = qt_test::TopDialog();
    ASSERT_NE(window, nullptr);
    const std::vector<std::pair<int, std::vector<const char*>>> captions = {
        {kStatusButton, {"＊ 検索終了 ＊", "＊ 検索中 ＊", "町名 ﾐﾅでは該当なし。検索中"}},
        {kNextPageButton,
         {"次のページがあり！", "これだけです。", "１ページ目", "２ページ目", "３ページ目", "４ページ目"}},
    };
    for (const auto& [id, texts] : captions)
      for (const char* text : texts) {
        dialog.SetText(id, Cp932(text));
        EXPECT_EQ(Misfit(window->ControlWidget(id), *dlg::FindControl(kMainDialogTemplate, id), QString::fromUtf8(text),
                         window->Units()),
                  "")
            << id << " \"" << text << "\"";
      }
    qt_test::ClickControl(dlg::kIdOk);
  });
  script_.Start();
  EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
}

// Each line of a multi-line edit as its view draws it across: the
// characters that stand wholly between the view's left and right edges.
std::vector<QString> DrawnAcross(QTextEdit* edit) {
  std::vector<QString> lines;
  int width = edit->viewport()->width();
  for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
    QString drawn;
    QTextCursor cursor(block);
    for (int i = 0; i < block.text().size(); ++i) {
      cursor.setPosition(block.position() + i);
      int left = edit->cursorRect(cursor).left();
      cursor.setPosition(block.position() + i + 1);
      int right = edit->cursorRect(cursor).left();
      if (left >= 0 && right <= width) drawn += block.text()[i];
    }
    lines.push_back(drawn);
  }
  return lines;
}

// The Sapporo example keyed with real clicks on the keypad; the window
// is written to tolvane_main.png in the build directory. The result box
// scrolls sideways over lines longer than its view: scrolled fully left
// every line is drawn from its first character (the prefecture reading of
// every record whole), fully right to its last, right-aligned.
TEST_F(MainWindowOnQt, TheSapporoExampleShowsItsCodeInTheResultBox) {
  std::string data = testing::BundledDataDirectory();
  ASSERT_FALSE(data.empty());
  testing::WriteSettingsFile(data);
  MainDialog dialog;
  script_.At(1, [&] {
    for (const char* letter : {"ﾎ", "ｻ", "ﾁ"}) qt_test::ClickControl(testing::KeyFor(letter));
    qt_test::ClickControl(kSkipButton);
    for (const char* letter : {"ﾐ", "ﾅ"}) qt_test::ClickControl(testing::KeyFor(letter));
    qt_test::ClickControl(kSearchButton);
  });
  script_.At(1, [&] {
    EXPECT_NE(dialog.Text(kResultEdit).find(Cp932("0600061 <<=(^O^) ﾐﾅﾐ1ｼﾞﾖｳﾆｼ")), std::string::npos);
    EXPECT_EQ(dialog.Text(kStatusButton), Cp932("＊ 検索終了 ＊"));
    qtd::QtDialogWindow* window = qt_test::TopDialog();
    ASSERT_NE(window, nullptr);
    auto* result = qobject_cast<QTextEdit*>(window->ControlWidget(kResultEdit));
    ASSERT_NE(result, nullptr);
    QScrollBar* across = result->horizontalScrollBar();
    std::vector<QString> atRight = DrawnAcross(result);
    across->setValue(across->minimum());
    std::vector<QString> atLeft = DrawnAcross(result);
    across->setValue(across->maximum());
    QStringList lines = result->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(atLeft.size(), static_cast<std::size_t>(lines.size()));
    int records = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
      const QString& line = lines[i];
      if (line.isEmpty()) continue;
      std::size_t at = static_cast<std::size_t>(i);
      // A short line, right-aligned, may stand wholly right of the view
      // scrolled fully left; at the right end every line is in view.
      EXPECT_FALSE(atRight[at].isEmpty()) << line.toStdString();
      EXPECT_TRUE(line.startsWith(atLeft[at])) << "scrolled left: " << atLeft[at].toStdString();
      EXPECT_TRUE(line.endsWith(atRight[at])) << "scrolled right: " << atRight[at].toStdString();
      if (line.contains(QStringLiteral("=>>>"))) {
        ++records;
        EXPECT_TRUE(atLeft[at].startsWith(QStringLiteral("ﾎﾂｶｲﾄﾞｳ (^O^) ｻﾂﾎﾟﾛｼ"))) << atLeft[at].toStdString();
      }
    }
    EXPECT_GT(records, 10);
    EXPECT_GT(across->maximum(), 0) << "the lines are longer than the view";
    QString path = qt_test::ScreenshotPath("tolvane_main.png");
    EXPECT_TRUE(window->Widget()->grab().toImage().save(path, "PNG")) << path.toStdString();
    qt_test::ClickControl(dlg::kIdOk);
  });
  script_.Start();
  EXPECT_EQ(dialog.DoModal(), dlg::kIdOk);
}

}  // namespace
}  // namespace search::ui
