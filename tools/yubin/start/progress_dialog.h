// The progress window of a preparation. It runs the steps itself, one per
// tick of its timer, so that the window is drawn anew between them: the
// step about to run, a bar of the steps done, and a status line (what the
// steps say of themselves, such as the bytes received, or else the note
// the caller gives). A step that works in the background is run again at
// each tick until it has finished. When every step has run it
// ends with kIdOk; after a failure it ends with kIdCancel at once, and
// Error() says what failed (telling the user is the caller's). It cannot be
// closed while it works: a preparation stopped half-way would only have to
// be thrown away.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/dialog/dialog.h"

namespace yubin::start {

// What the window runs: steps, each with the text shown while it runs.
class Steps {
 public:
  virtual ~Steps() = default;
  virtual int StepCount() const = 0;
  virtual std::string_view WindowText(int step) const = 0;
  // True, or false with `error` saying what failed and why.
  virtual bool Run(int step, std::string& error) = 0;
  // False while a step that Run started in the background still works:
  // Run is then called again, later, until this is true.
  virtual bool Finished(int /*step*/) const { return true; }
  // A line on how the work goes (UTF-8), or nothing.
  virtual std::string Status() const { return {}; }
};

// Runs every step, waiting for those that work in the background: true, or
// false with `error` from the failing step. `before` is told of each step
// before it runs.
bool RunAllSteps(Steps& steps, std::string& error, const std::function<void(int step)>& before = {});

// Registers the window's icon, before the window is made.
void RegisterProgressIcon();

class ProgressDialog : public platform::dialog::Dialog {
 public:
  // `note` (UTF-8) fills the status line while the steps say nothing.
  explicit ProgressDialog(Steps& steps, std::string note = {});

  // After a failure: what failed and why (UTF-8).
  const std::string& Error() const { return error_; }

  // Milliseconds between steps: time for the window to be drawn.
  static constexpr int kStepInterval = 50;

 protected:
  bool OnInitDialog() override;
  void OnShowWindow(bool shown) override;
  void OnTimer(int id) override;
  void OnCancel() override {}

 private:
  void ShowStep();

  Steps& steps_;
  std::string note_;
  int next_ = 0;  // the step the next tick runs
  std::string error_;
};

}  // namespace yubin::start
