// The help viewer of the Qt backend: a window of its own that shows a help
// file from its beginning (its contents page), and closes when told to quit.
// It is not modal and stays usable while dialogs run.
//
// A help file is text: UTF-8 when its bytes are valid UTF-8, else CP932.
// Text that starts with "<" is shown as HTML, any other as plain text. A
// file that cannot be read is named in the window instead.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/help_viewer.h"

class QTextBrowser;
class QWidget;

namespace platform::dialog::qt {

class QtHelpViewer final : public HelpViewer {
 public:
  QtHelpViewer();
  ~QtHelpViewer() override;

  int ShowContents(std::string_view cp932Path) override;
  int Quit() override;

  // For tests: the open window (nullptr when none) and what it shows.
  QWidget* Window() const;
  QTextBrowser* Browser() const { return browser_; }

 private:
  std::unique_ptr<QWidget> window_;
  QTextBrowser* browser_ = nullptr;
};

}  // namespace platform::dialog::qt
