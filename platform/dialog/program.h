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
// Otherwise the status is the program's. No library ends the process.
#pragma once

namespace platform::dialog {

int ProgramEnd(int status);

}  // namespace platform::dialog
