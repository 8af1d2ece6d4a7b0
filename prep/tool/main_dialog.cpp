#include "prep/tool/main_dialog.h"

#include <string>
#include <vector>

#include "platform/dialog/busy_cursor.h"
#include "platform/dialog/data_exchange.h"
#include "platform/dialog/resources.h"
#include "platform/files/file.h"
#include "platform/help_viewer.h"
#include "platform/text/cp932.h"
#include "prep/kana_town_index.h"
#include "prep/master_file.h"
#include "prep/prep_messages.h"
#include "prep/tool/about_box.h"
#include "prep/tool/resource.h"
#include "prep/tool/templates.h"

namespace prep::tool {

namespace dlg = platform::dialog;

// The builder's messages as modal boxes owned by the dialog.
class PrepToolDlg::Messages : public PrepMessages {
 public:
  explicit Messages(PrepToolDlg& dialog) : dialog_(dialog) {}
  int ShowMessage(std::string_view text, std::string_view caption, MessageButtons buttons) override {
    return dialog_.MessageBox(text, caption,
                              buttons == MessageButtons::kYesNo ? dlg::Buttons::kYesNo : dlg::Buttons::kOk);
  }

 private:
  PrepToolDlg& dialog_;
};

namespace {

// The box after a build that passed over lines of the master file: how
// many, why, and the first line numbers. Empty when none was passed over.
std::string SkippedLinesText(const KanaTownIndexBuilder& builder) {
  long malformed = builder.recordsSkipped();
  long withoutFile = builder.recordsWithoutFile();
  if (malformed + withoutFile == 0) return {};
  std::string text = "＊＊ " + std::string(kMasterFileName) + " の " + std::to_string(malformed + withoutFile) +
                     " 行を、インデックスに入れずに読み飛ばしました。＊＊\r\n";
  if (malformed > 0) text += "カンマが９つない行：" + std::to_string(malformed) + " 行\r\n";
  if (withoutFile > 0) text += "インデックスファイルの名前にならない行：" + std::to_string(withoutFile) + " 行\r\n";
  text += "最初の行番号：";
  const std::vector<long>& lines = builder.firstSkippedLines();
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? ", " : "") + std::to_string(lines[i]);
  if (static_cast<std::size_t>(malformed + withoutFile) > lines.size()) text += " …";
  return platform::text::Cp932(text);
}

}  // namespace

PrepToolDlg::PrepToolDlg()
    : Dialog(kPrepToolDialog),
      m_hIcon(dlg::LoadIcon(kToolIcon)),
      messages_(std::make_unique<Messages>(*this)),
      builder_(std::make_unique<KanaTownIndexBuilder>(*messages_)) {
  Bind(kBuildIndexButton, dlg::Notification::kClicked, [this] { OnBuildIndex(); });
}

PrepToolDlg::~PrepToolDlg() = default;

bool PrepToolDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  std::string about = dlg::LoadString(kAboutMenuString);
  if (!about.empty()) {
    AppendSystemMenuSeparator();
    AppendSystemMenuItem(kAboutCommand, about);
  }
  SetIcon(m_hIcon, true);
  SetIcon(m_hIcon, false);
  return true;
}

void PrepToolDlg::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kAboutCommand) {
    PrepAboutDlg about;
    about.DoModal();
    return;
  }
  Dialog::OnSysCommand(command);
}

void PrepToolDlg::OnDestroy() {
  platform::QuitHelp();
  Dialog::OnDestroy();
}

void PrepToolDlg::DoDataExchange(dlg::DataExchange& dx) { dx.Text(kDriveEdit, m_driveText); }

void PrepToolDlg::OnBuildIndex() {
  dlg::BusyCursor busy;
  // The builder writes below "ZIP_CODE", which names this directory too. A
  // failure is ignored: normally the directory is there from a build before.
  platform::files::MakeDirectory("Zip_Code");
  // The drive field is the master file's prefix. It has no length limit,
  // so its read-back cannot fail.
  ReadBackMembers();
  if (builder_->BuildKanaTownIndex(m_driveText, m_cityInitial) != 0) {
    // Its messages have been answered; the program ends.
    exitStatus_ = -1;
    EndDialog(dlg::kIdCancel);
    return;
  }
  std::string skipped = SkippedLinesText(*builder_);
  if (!skipped.empty()) MessageBox(skipped);
}

}  // namespace prep::tool
