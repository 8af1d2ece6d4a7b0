// The search application from start to end: its resources, the socket and
// component layers, then the main dialog, run modally, all the while
// holding the shared lock on its current directory (directory_lock.h). Returns the
// program's exit status: 0 whatever the dialog returned, 1 when a start-up
// layer failed and the dialog never opened.
#pragma once

namespace search::ui {

int RunTolvane();

}  // namespace search::ui
