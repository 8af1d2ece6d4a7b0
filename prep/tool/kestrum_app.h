// The tool's application object (PrepToolApp) and its start-up: the
// resources, the component layer, the embedded or automation start, and
// the main dialog, run modally until it closes. Knows nothing of the build.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog/app.h"

namespace prep::tool {

class PrepToolApp : public platform::dialog::App {
 public:
  PrepToolApp();

  // Runs the tool with the program's arguments (without its name) and
  // returns the exit status: 0, or -1 after a fatal file error of a build.
  int Run(const std::vector<std::string>& args);
};

// Whether the arguments ask for a start as an embedded or automation
// server: "-Embedding", "/Embedding", "-Automation" or "/Automation", in
// any case.
bool IsServerStart(const std::vector<std::string>& args);

}  // namespace prep::tool
