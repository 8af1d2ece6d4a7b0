// The end of a dialog program. Its main returns through here:
//
//   int main() {
//     ...
//     dialog.DoModal();
//     return platform::dialog::ProgramEnd(0);
//   }
//
// so that the platform has its say in the exit status: a scripted run
// (DIALOG_SCRIPT, see README.md) in which a line could not be taken, or
// whose lines were not all used, ends with 3 whatever the program chose.
// Otherwise the status is the program's. No library ends the process,
// but for the one case below.
#pragma once

#include <string>

namespace platform::dialog {

int ProgramEnd(int status);

// How a program ends whose dialogs cannot be shown at all (no backend can
// run here, or DIALOG_BACKEND names none that can): `message`, the lines
// that say why (none when a backend that declined wrote its own), goes to
// standard error and the process ends with `status`. The platform's choice
// of backend only returns these; this ends the program for it at its first
// dialog, and where WindowSystemAvailable or ProgramEnd meet a
// DIALOG_BACKEND that names no backend.
[[noreturn]] void EndWithoutDialogs(int status, const std::string& message);

// For a program whose dialogs need no user: they end by themselves as soon
// as they are shown (a placeholder that another program starts, perhaps
// on a machine without a display). Where no window system is available,
// such a program's dialogs then run unseen instead of the program stopping
// with the platform's no-display message: each is initialised and shown as
// usual, one that still waits for input ends as by its close box, and a
// message box takes its default button; nothing is written anywhere. A
// window system or a script (DIALOG_SCRIPT), where there is one, still
// comes first. Call it in main before the first dialog.
void AllowUnseenRun();

// Whether this program's dialogs would be shown to someone: true where a
// window system is the platform's choice, false where a script
// (DIALOG_SCRIPT) or an unseen run would take them or nothing can. A
// program that can also do its work without windows (print its progress on
// a terminal) asks this before its first dialog. Starts no window system.
bool WindowSystemAvailable();

}  // namespace platform::dialog
