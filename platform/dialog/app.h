// The application object: the program's name (the caption of message boxes
// that give none) and the menu commands that a dialog does not handle
// itself. One exists per program, for the life of it. There is no main
// window to register: the dialog that main runs modally is the program.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace platform::dialog {

class App {
 public:
  // Becomes the current application; `name` is CP932.
  explicit App(std::string_view name);
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // The application in force, or nullptr.
  static App* Current();

  const std::string& Name() const { return name_; }

  // Binds a menu command; a second binding replaces the first.
  void BindCommand(int command, std::function<void()> reaction);

  // A menu command that reached the application: runs its binding; the
  // help command without a binding goes to OnHelp. False when nothing
  // handled it.
  virtual bool OnCommand(int command);

  // The standard help command: shows the help file set with SetHelpFile at
  // its contents page, when one is set.
  virtual void OnHelp();
  void SetHelpFile(std::string_view cp932Path) { helpFile_ = cp932Path; }

 private:
  std::string name_;
  std::string helpFile_;
  App* saved_ = nullptr;
  std::map<int, std::function<void()>> commands_;
};

}  // namespace platform::dialog
