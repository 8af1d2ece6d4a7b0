#include "platform/dialog/qt/qt_help_viewer.h"

#include <gtest/gtest.h>

#include <string>

#include <QTextBrowser>
#include <QWidget>

#include "platform/help_viewer.h"
#include "platform/text/cp932.h"
#include "tests/platform/dialog/qt/qt_script.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::text::Cp932;

// A temporary directory for help files; the path given to the viewer is a
// CP932 text, as the programs build it.
class HelpViewerTest : public ::testing::Test {
 protected:
  void TearDown() override { viewer().Quit(); }

  // Writes `bytes` under the UTF-8 host name; returns the CP932 path.
  std::string Write(const char* utf8Name, const std::string& bytes) {
    dir_.Write(utf8Name, bytes);
    return dir_.path() + "/" + Cp932(utf8Name);
  }

  static platform::dialog::qt::QtHelpViewer& viewer() { return qt_test::TheQtBackend().Help(); }

  TempDir dir_;
};

TEST_F(HelpViewerTest, TheQtBackendPutsItsViewerInForce) { EXPECT_EQ(&platform::CurrentHelpViewer(), &viewer()); }

TEST_F(HelpViewerTest, ShowsACp932HelpFileFromItsBeginningAndQuits) {
  std::string path =
      Write("郵便番号検索ヘルプ.hlp", Cp932("目次\r\n郵便番号の検索\r\n") + std::string(200, '\n') + "end");
  EXPECT_EQ(platform::ShowHelpContents(path), 1);
  ASSERT_NE(viewer().Window(), nullptr);
  EXPECT_TRUE(viewer().Window()->isVisible());
  EXPECT_EQ(viewer().Window()->windowTitle(), QString::fromUtf8("ヘルプ - 郵便番号検索ヘルプ.hlp"));
  EXPECT_TRUE(viewer().Browser()->toPlainText().startsWith(QString::fromUtf8("目次\n郵便番号の検索")));
  EXPECT_EQ(viewer().Browser()->textCursor().position(), 0);
  EXPECT_EQ(platform::QuitHelp(), 1);
  EXPECT_EQ(viewer().Window(), nullptr);
}

TEST_F(HelpViewerTest, ShowsUtf8AndHtmlHelpFiles) {
  std::string plain = Write("plain.hlp", "ヘルプ本文");
  viewer().ShowContents(plain);
  EXPECT_EQ(viewer().Browser()->toPlainText(), QString::fromUtf8("ヘルプ本文"));
  std::string html = Write("page.hlp", Cp932("<h1>目次</h1><p>検索の仕方</p>"));
  viewer().ShowContents(html);
  EXPECT_EQ(viewer().Browser()->toPlainText(), QString::fromUtf8("目次\n検索の仕方"));
}

TEST_F(HelpViewerTest, AMissingFileIsNamedInTheViewer) {
  std::string missing = dir_.path() + "/" + Cp932("無い.hlp");
  EXPECT_EQ(viewer().ShowContents(missing), 1);
  ASSERT_NE(viewer().Window(), nullptr);
  QString shown = viewer().Browser()->toPlainText();
  EXPECT_TRUE(shown.contains(QString::fromUtf8("無い.hlp"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QString::fromUtf8("開けません"))) << shown.toStdString();
}

}  // namespace
