#include "platform/dialog/qt/qt_help_viewer.h"

#include <QFont>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/dialog/qt/controls.h"
#include "platform/dialog/qt/dialog_units.h"
#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/text/cp932.h"

namespace platform::dialog::qt {
namespace {

QString Decode(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return ToQt(bytes);
}

// The last component of a CP932 path, for the window's title.
std::string FileName(std::string_view cp932Path) {
  bool absolute = false;
  std::vector<std::string> parts = files::SplitPath(cp932Path, absolute);
  return parts.empty() ? std::string(cp932Path) : parts.back();
}

}  // namespace

QtHelpViewer::QtHelpViewer() = default;

QtHelpViewer::~QtHelpViewer() = default;

int QtHelpViewer::ShowContents(std::string_view cp932Path) {
  if (!window_) {
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    window_->setObjectName(QStringLiteral("help_viewer"));
    window_->setFont(DialogFont(Font{"ＭＳ Ｐゴシック", 10}));
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(window_.get());
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    window_->resize(560, 480);
  }
  std::string name = FileName(cp932Path);
  window_->setWindowTitle(QString::fromUtf8("ヘルプ - ") + ToQt(name));
  std::optional<std::string> bytes = files::ReadWholeHostFile(files::HostPath(cp932Path));
  if (!bytes) {
    browser_->setPlainText(QString::fromUtf8("ヘルプ ファイル「") + ToQt(cp932Path) +
                           QString::fromUtf8("」を開けません。"));
  } else {
    QString text = Decode(*bytes);
    if (text.trimmed().startsWith(QLatin1Char('<')))
      browser_->setHtml(text);
    else
      browser_->setPlainText(text);
  }
  // The contents page is the file's beginning.
  browser_->moveCursor(QTextCursor::Start);
  window_->show();
  window_->raise();
  window_->activateWindow();
  return 1;
}

int QtHelpViewer::Quit() {
  browser_ = nullptr;
  window_.reset();
  return 1;
}

QWidget* QtHelpViewer::Window() const { return window_.get(); }

}  // namespace platform::dialog::qt
