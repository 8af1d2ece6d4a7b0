// The tool's main dialog drawn by the Qt backend (offscreen): the texts of
// the operation buttons fit inside them, its labels fit their rectangles,
// and a build shows the wait cursor
// only while it runs, with the ordinary pointer over its error boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPushButton>

#include "platform/dialog/backend.h"
#include "platform/dialog/qt/dialog_text.h"
#include "platform/dialog/resources.h"
#include "platform/seam.h"
#include "prep/tool/app_resources.h"
#include "prep/tool/kestrum_app.h"
#include "prep/tool/main_dialog.h"
#include "prep/tool/resource.h"
#include "prep/tool/templates.h"
#include "tests/platform/dialog/qt/qt_script.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace qt_test;
namespace dlg = platform::dialog;
namespace tool = prep::tool;

class KestrumOnQt : public ::testing::Test {
 protected:
  KestrumOnQt() { tool::RegisterPrepResources(); }
  void TearDown() override { EXPECT_TRUE(script_.Finished()) << "the script did not run to its end"; }

  tool::PrepToolApp app_;
  platform::ScopedOverride<dlg::Backend*> inForce_{dlg::BackendInForce(), &TheQtBackend()};
  Script script_;
};

TEST_F(KestrumOnQt, EveryOperationButtonAndLabelShowsItsWholeText) {
  tool::PrepToolDlg dialog;
  script_.At(1, [&] {
    for (int id = tool::kSplitByPrefectureButton; id <= tool::kBuildIndexButton; ++id) {
      SCOPED_TRACE("button " + std::to_string(id));
      auto* button = qobject_cast<QPushButton*>(TopDialog()->ControlWidget(id));
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->isEnabled(), id == tool::kBuildIndexButton);
      auto* caption = dynamic_cast<qtd::DialogText*>(button->findChild<QWidget*>());
      ASSERT_NE(caption, nullptr) << "the text is not wrapped";
      std::string_view text = dlg::FindControl(tool::kPrepToolDialog, id)->text;
      EXPECT_EQ(caption->text(), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
      EXPECT_TRUE(button->rect().contains(caption->geometry()));
      // All its lines fit the caption's height.
      EXPECT_LE(caption->heightForWidth(caption->width()), caption->height());
    }
    // The labels too, narrowed where the face needs it.
    for (QObject* child : TopDialog()->Client()->children()) {
      auto* label = dynamic_cast<qtd::DialogText*>(child);
      if (label == nullptr) continue;
      SCOPED_TRACE(label->text().toStdString());
      int room = label->height() - 2 * label->bleed();
      QFont face = qtd::FittingFont(label->font(), label->text(), label->width(), room, label->pitch(), true);
      EXPECT_LE(
          qtd::DrawDialogText(nullptr, face, label->text(), label->width(), label->pitch(), true, Qt::AlignLeft, 0),
          room);
    }
    TopDialog()->Widget()->grab().toImage().save(ScreenshotPath("kestrum_offscreen.png"), "PNG");
    ClickControl(dlg::kIdCancel);
  });
  script_.Start();
  EXPECT_EQ(dialog.DoModal(), dlg::kIdCancel);
}

TEST_F(KestrumOnQt, ABuildShowsTheWaitCursorButItsErrorBoxesTheOrdinaryPointer) {
  TempDir dir;  // no master file: the build fails at once
  tool::PrepToolDlg dialog;
  Qt::CursorShape overBox = Qt::BlankCursor;
  bool busyBelowBox = false;
  script_.At(1, [&] { ClickControl(tool::kBuildIndexButton); }).At(2, [&] {
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    overBox = QApplication::overrideCursor()->shape();
    // Under the box's pointer, the wait cursor of the build.
    QApplication::restoreOverrideCursor();
    busyBelowBox =
        QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ClickBoxButton(QString::fromUtf8("いいえ(&N)"));
  });
  script_.Start();
  dialog.DoModal();
  EXPECT_EQ(overBox, Qt::ArrowCursor);
  EXPECT_TRUE(busyBelowBox);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(dialog.ExitStatus(), -1);
}

}  // namespace
