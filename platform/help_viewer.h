// The help viewer: shows a help file at its contents page, and is told to
// quit when the program's main window goes. The viewer in force is a seam
// (seam.h): tests and backends put their own in force; the default one
// hands the file to the desktop's opener when a display is present and does
// nothing, successfully, where there is none.
#pragma once

#include <string_view>

namespace platform {

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Shows the CP932 path's file at its contents page, with no owner window.
  // 1 when the request was passed on, 0 when there was nothing to do it with.
  virtual int ShowContents(std::string_view cp932Path) = 0;
  virtual int Quit() = 0;
};

// The viewer in force (not owned); nullptr means the desktop's.
HelpViewer*& HelpViewerInForce();

// HelpViewerInForce(), or the desktop's when none is set.
HelpViewer& CurrentHelpViewer();

inline int ShowHelpContents(std::string_view cp932Path) { return CurrentHelpViewer().ShowContents(cp932Path); }
inline int QuitHelp() { return CurrentHelpViewer().Quit(); }

}  // namespace platform
