#include "tools/yubin/start/progress_dialog.h"

#include <chrono>
#include <thread>

#include "platform/dialog/resources.h"
#include "platform/text/cp932.h"
#include "search/ui/app_resources.h"
#include "tools/yubin/start/progress_resources.h"

namespace yubin::start {

namespace dlg = platform::dialog;
namespace text = platform::text;

namespace {

constexpr int kStepTimer = 1;

}  // namespace

void RegisterProgressIcon() {
  dlg::IconResource icon = search::ui::AppIcon();
  icon.id = kWindowIcon;
  dlg::RegisterIcon(std::move(icon));
}

bool RunAllSteps(Steps& steps, std::string& error, const std::function<void(int step)>& before) {
  for (int step = 0; step < steps.StepCount(); ++step) {
    if (before) before(step);
    if (!steps.Run(step, error)) return false;
    while (!steps.Finished(step)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!steps.Run(step, error)) return false;
    }
  }
  return true;
}

ProgressDialog::ProgressDialog(Steps& steps, std::string note)
    : Dialog(kProgressTemplate), steps_(steps), note_(std::move(note)) {}

bool ProgressDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  int icon = dlg::LoadIcon(kWindowIcon);
  SetIcon(icon, true);
  SetIcon(icon, false);
  ShowStep();
  return true;
}

void ProgressDialog::OnShowWindow(bool shown) {
  Dialog::OnShowWindow(shown);
  if (shown) SetTimer(kStepTimer, kStepInterval);
}

void ProgressDialog::OnTimer(int id) {
  if (id != kStepTimer) return;
  bool done = steps_.Run(next_, error_);
  if (done && !steps_.Finished(next_)) {
    ShowStep();
    return;
  }
  if (!done || ++next_ == steps_.StepCount()) {
    KillTimer(kStepTimer);
    EndDialog(done ? dlg::kIdOk : dlg::kIdCancel);
    return;
  }
  ShowStep();
}

void ProgressDialog::ShowStep() {
  int count = steps_.StepCount();
  std::string bar;
  for (int step = 0; step < count; ++step) bar += step < next_ ? "■" : "□";
  bar += "  " + std::to_string(next_ + 1) + " / " + std::to_string(count);
  SetText(kStepText, text::Cp932(steps_.WindowText(next_)));
  SetText(kStepBar, text::Cp932(bar));
  std::string status = steps_.Status();
  SetText(kStatusText, text::Cp932(status.empty() ? note_ : status));
}

}  // namespace yubin::start
