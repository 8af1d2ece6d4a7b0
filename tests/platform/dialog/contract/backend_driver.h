// What the backend contract cases need from a backend: the backend itself,
// a way to play the user's part in its windows, and a look at what its
// window shows. Each backend built has one driver, registered by name from
// its own file; the cases run once per registered driver. A new backend's
// driver is one file here and one line in CMakeLists.txt.
//
// The user's actions queue up before the dialog runs, in order; each is
// taken in the window on top when its turn comes, so an action may open a
// nested window that the next actions then work in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/backend.h"
#include "platform/dialog/window_rules.h"

namespace contract {

class BackendDriver {
 public:
  virtual ~BackendDriver() = default;

  virtual platform::dialog::Backend& TheBackend() = 0;

  // The user's part.
  virtual void Click(int id) = 0;  // a mouse click on a control of the dialog on top
  virtual void Tab() = 0;          // the Tab key in the dialog on top
  // Shift+Tab or an arrow key in the dialog on top, as its keyboard sends it.
  virtual void Press(platform::dialog::MoveKey key) = 0;
  virtual void Enter() = 0;
  virtual void Escape() = 0;
  // Types CP932 text into an edit, which the typing gives the focus first.
  virtual void Type(int id, std::string_view cp932) = 0;
  virtual void Menu(int command) = 0;   // a command of the dialog's menu bar
  virtual void Answer(int button) = 0;  // a button of the message box on top
  // Lets time pass until `ready` holds: `virtualMs` milliseconds on a
  // virtual clock, as long as it takes on a real one.
  virtual void WaitUntil(std::function<bool()> ready, int virtualMs, std::string what) = 0;
  // Runs `step` when its turn comes, with the window on top active; a step
  // may run a nested window itself.
  virtual void Do(std::function<void()> step) = 0;

  // What the dialog on top shows (for use in a step): the push button drawn
  // as the default one, or kNoId.
  virtual int ShownDefault() = 0;

  // After the run: whether every action was taken, none refused. Reports
  // what went wrong as test failures.
  virtual bool Finished() = 0;
};

using DriverFactory = std::unique_ptr<BackendDriver> (*)();

struct DriverRegistration {
  DriverRegistration(const char* name, DriverFactory make);
};

// The names of the registered drivers, and a new driver by name.
std::vector<std::string> DriverNames();
std::unique_ptr<BackendDriver> MakeDriver(const std::string& name);

}  // namespace contract
