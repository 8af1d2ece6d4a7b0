// Reads a script of user events (UTF-8 text, one event per line, see
// platform/dialog/README.md, "Scripted runs") into events for the headless
// backend, each carrying its line number. Knows the grammar only: whether
// the window on top can take an event is found when its turn comes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog/headless/headless_backend.h"

namespace platform::dialog::headless {

struct ScriptFault {
  int line = 0;
  std::string text;  // UTF-8, without the line number
};

struct Script {
  std::vector<HeadlessBackend::Event> events;
  std::vector<ScriptFault> faults;  // the lines that cannot be read, in order
};

// Every line read: comments (a first non-blank "#") and blank lines give no
// event; a line ending in CR LF reads as one ending in LF.
Script ReadScript(std::string_view utf8);

}  // namespace platform::dialog::headless
