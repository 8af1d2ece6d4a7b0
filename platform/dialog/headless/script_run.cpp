#include "platform/dialog/headless/script_run.h"

#include <cerrno>
#include <cstdlib>  // std::getenv
#include <cstring>  // std::strerror
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/dialog/backend.h"
#include "platform/dialog/headless/script_reader.h"
#include "platform/help_viewer.h"
#include "platform/text/cp932.h"

namespace platform::dialog::headless {
namespace {

// Under a script the help file is named, not opened.
class ScriptHelpViewer : public HelpViewer {
 public:
  explicit ScriptHelpViewer(std::ostream& out) : out_(out) {}
  int ShowContents(std::string_view cp932Path) override {
    out_ << "help: " << text::ToUtf8(cp932Path) << std::endl;
    return 1;
  }
  int Quit() override { return 1; }

 private:
  std::ostream& out_;
};

const char* ScriptPath() {
  const char* path = std::getenv(kScriptVariable);
  return path != nullptr && *path != '\0' ? path : nullptr;
}

bool ScriptNamed() { return ScriptPath() != nullptr; }

std::unique_ptr<Backend> CreateScriptRun() {
  // The platform keeps its chosen backend for the life of the process, and
  // so the help viewer that writes for it.
  static ScriptHelpViewer help(std::cout);
  HelpViewerInForce() = &help;
  if (ScriptPath() == nullptr) {
    // Named by DIALOG_BACKEND without a script: a script of no lines.
    auto backend = std::make_unique<HeadlessBackend>();
    backend->WriteTo(std::cout, std::cerr, "DIALOG_BACKEND=headless");
    return backend;
  }
  // The script's lines are this program's user. A program that it starts
  // never sees the script (platform/process.h): it never takes these lines.
  return MakeScriptRun(ScriptPath(), std::cout, std::cerr);
}

// Ahead of every window system: a script is asked for by name.
// DIALOG_BACKEND=headless names it too.
const BackendRegistrar kScriptRegistration(BackendEntry{.name = "headless",
                                                        .priority = 100,
                                                        .available = &ScriptNamed,
                                                        .create = &CreateScriptRun,
                                                        .endsEveryRun = true,
                                                        .showsWindows = false});

}  // namespace

std::unique_ptr<HeadlessBackend> MakeScriptRun(const std::string& path, std::ostream& out, std::ostream& err) {
  auto backend = std::make_unique<HeadlessBackend>();
  backend->WriteTo(out, err, path);
  // The script is the user's file on the host, named by its host path; it
  // is no data of the system, so it does not go through the file layer.
  std::ifstream file(path, std::ios::binary);
  std::string text;
  if (file.is_open()) text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (!file.is_open() || file.bad()) {
    backend->NoteFault(0, std::string("cannot read the script: ") + std::strerror(errno));
    return backend;
  }
  Script script = ReadScript(text);
  for (const ScriptFault& fault : script.faults) backend->NoteFault(fault.line, fault.text);
  // A script with a line that cannot be read runs nothing of it: its windows
  // close as their close boxes do.
  if (script.faults.empty())
    for (HeadlessBackend::Event& event : script.events) backend->Queue(std::move(event));
  return backend;
}

}  // namespace platform::dialog::headless
