#include "platform/help_viewer.h"

#include <spawn.h>     // posix_spawnp
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // waitpid

#include <cerrno>
#include <cstdlib>  // std::getenv
#include <string>

#include "platform/files/host_path.h"

extern char** environ;

namespace platform {
namespace {

bool HasDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

// Hands the file to the desktop's opener, which starts a viewer of its own
// and returns; there is no help window of ours to quit later.
class DesktopHelpViewer : public HelpViewer {
 public:
  int ShowContents(std::string_view cp932Path) override {
    std::string host = files::HostPath(cp932Path);
    struct stat st;
    if (!HasDisplay() || stat(host.c_str(), &st) != 0) return 0;
    std::string opener = "xdg-open";
    char* argv[] = {opener.data(), host.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, opener.c_str(), nullptr, nullptr, argv, environ) != 0) return 0;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return 0;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
  }

  int Quit() override { return 1; }
};

}  // namespace

HelpViewer*& HelpViewerInForce() {
  static HelpViewer* viewer = nullptr;
  return viewer;
}

HelpViewer& CurrentHelpViewer() {
  static DesktopHelpViewer desktop;
  return HelpViewerInForce() != nullptr ? *HelpViewerInForce() : desktop;
}

}  // namespace platform
