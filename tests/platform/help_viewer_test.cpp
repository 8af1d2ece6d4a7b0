#include "platform/help_viewer.h"

#include <gtest/gtest.h>

#include <cstdlib>  // setenv, unsetenv
#include <string>
#include <vector>

#include "platform/seam.h"
#include "tests/platform/recording_help_viewer.h"

namespace platform {
namespace {

TEST(HelpViewer, AViewerPutInForceGetsTheRequestsUntilReleased) {
  RecordingHelpViewer viewer;
  {
    ScopedOverride useViewer(HelpViewerInForce(), &viewer);
    EXPECT_EQ(ShowHelpContents("c:\\Zip_Code\\help.hlp"), 1);
    EXPECT_EQ(QuitHelp(), 1);
  }
  EXPECT_EQ(viewer.shown, (std::vector<std::string>{"c:\\Zip_Code\\help.hlp"}));
  EXPECT_NE(&CurrentHelpViewer(), &viewer);
}

TEST(HelpViewer, TheDefaultOneDoesNothingWithoutADisplayOrAFile) {
  const char* display = std::getenv("DISPLAY");
  std::string saved = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(ShowHelpContents("/no/such/dir/help.hlp"), 0);
  EXPECT_EQ(QuitHelp(), 1);  // there is never a window of ours to close
  if (display != nullptr) setenv("DISPLAY", saved.c_str(), 1);
}

}  // namespace
}  // namespace platform
