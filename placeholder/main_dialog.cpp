#include "placeholder/main_dialog.h"

#include "placeholder/resource.h"
#include "placeholder/templates.h"
#include "platform/dialog/resources.h"

namespace placeholder {

namespace dlg = platform::dialog;

PlaceholderDlg::PlaceholderDlg() : Dialog(kPlaceholderDialog), m_hIcon(dlg::LoadIcon(kPlaceholderIcon)) {}

bool PlaceholderDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  SetIcon(m_hIcon, true);
  SetIcon(m_hIcon, false);
  return true;
}

void PlaceholderDlg::OnShowWindow(bool shown) {
  Dialog::OnShowWindow(shown);
  // Shown (or hidden): the OK action, which ends the dialog.
  OnOK();
}

}  // namespace placeholder
