#include "platform/dialog/app.h"

#include <utility>

#include "platform/dialog/template.h"
#include "platform/help_viewer.h"

namespace platform::dialog {
namespace {

App*& CurrentApp() {
  static App* app = nullptr;
  return app;
}

}  // namespace

App::App(std::string_view name) : name_(name), saved_(CurrentApp()) { CurrentApp() = this; }

App::~App() {
  if (CurrentApp() == this) CurrentApp() = saved_;
}

App* App::Current() { return CurrentApp(); }

void App::BindCommand(int command, std::function<void()> reaction) { commands_[command] = std::move(reaction); }

bool App::OnCommand(int command) {
  auto it = commands_.find(command);
  if (it != commands_.end() && it->second) {
    it->second();
    return true;
  }
  if (command == kHelpCommand) {
    OnHelp();
    return true;
  }
  return false;
}

void App::OnHelp() {
  if (!helpFile_.empty()) ShowHelpContents(helpFile_);
}

}  // namespace platform::dialog
