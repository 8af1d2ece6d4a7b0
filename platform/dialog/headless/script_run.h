// Scripted runs: when the environment variable DIALOG_SCRIPT names a file,
// every dialog program runs on the headless backend and takes its user
// events from that file (script_reader.h). Message boxes, print and title
// lines go to standard output, faults to standard error with their line
// numbers; the help viewer writes "help: <path>" instead of opening
// anything. The run registers itself with the platform's backend choice
// ahead of every window system (script_run.cpp); programs never name it.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "platform/dialog/headless/headless_backend.h"

namespace platform::dialog::headless {

// The environment variable that names the script.
inline constexpr char kScriptVariable[] = "DIALOG_SCRIPT";

// A headless backend that runs the script at `path` (a host path), writing
// to `out` and `err`. A script that cannot be read, or holds lines that
// cannot be read, is reported on `err` and runs no event at all.
std::unique_ptr<HeadlessBackend> MakeScriptRun(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace platform::dialog::headless
