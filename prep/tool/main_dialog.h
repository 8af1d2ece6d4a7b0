// The tool's main dialog (PrepToolDlg): the operation buttons and the drive
// field as the template has them, and the kana town index build on button
// 1006. Only 1006, OK and ｷｬﾝｾﾙ can be pressed: nothing enables the other
// operations or the drive field. It does not end the process: after a
// fatal file error of a build it closes, and ExitStatus() tells the
// program to end with -1.
#pragma once

#include <memory>
#include <string>

#include "platform/dialog/dialog.h"

namespace prep {
class KanaTownIndexBuilder;
}  // namespace prep

namespace prep::tool {

class PrepToolDlg : public platform::dialog::Dialog {
 public:
  PrepToolDlg();
  ~PrepToolDlg() override;

  // 0, or -1 once a build has failed fatally.
  int ExitStatus() const { return exitStatus_; }

  // The drive field (edit 1007): the master file's prefix.
  std::string m_driveText;

 protected:
  bool OnInitDialog() override;
  void OnSysCommand(int command) override;
  void OnDestroy() override;
  void DoDataExchange(platform::dialog::DataExchange& dx) override;

 private:
  class Messages;

  void OnBuildIndex();

  int m_hIcon = 0;
  // The city initial of the record the last build filed last, kept from one
  // press to the next while the tool runs: a build makes a city's directory
  // only when the initial changes.
  std::string m_cityInitial;
  // The builder holds the master file and its last byte during a build.
  std::unique_ptr<Messages> messages_;
  std::unique_ptr<KanaTownIndexBuilder> builder_;
  int exitStatus_ = 0;
};

}  // namespace prep::tool
