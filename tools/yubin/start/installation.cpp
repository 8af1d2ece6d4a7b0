#include "tools/yubin/start/installation.h"

#include <unistd.h>  // access, readlink

#include <cerrno>
#include <climits>  // PATH_MAX
#include <cstring>  // std::strerror
#include <filesystem>

namespace yubin::start {

namespace {

// The running program's path as the kernel knows it: links resolved, so
// a link to yubin from elsewhere still finds the tree yubin stands in.
std::string OwnPath() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

}  // namespace

std::optional<Installation> FindInstallation(std::string& error) {
  std::filesystem::path self = OwnPath();
  if (self.empty()) {
    error = std::string("cannot find the running program's own path: ") + std::strerror(errno);
    return std::nullopt;
  }
  Installation found;
  found.programs = self.parent_path().string();
  found.data = (self.parent_path() / YUBIN_DATA_FROM_PROGRAMS).lexically_normal().string();
  if (found.data.size() > 1 && found.data.back() == '/') found.data.pop_back();
  for (const char* program : {"tolvane", "kestrum", "qgrep", "vesk"}) {
    std::string path = found.Program(program);
    if (access(path.c_str(), X_OK) != 0) {
      error = path + ": " + std::strerror(errno) + " (yubin start runs from an installed tree)";
      return std::nullopt;
    }
  }
  for (const char* file : {kKenAllArchive, kJigyosyoArchive, kHelpFile}) {
    std::string path = found.DataFile(file);
    if (access(path.c_str(), R_OK) != 0) {
      error = path + ": " + std::strerror(errno) + " (yubin start runs from an installed tree)";
      return std::nullopt;
    }
  }
  return found;
}

}  // namespace yubin::start
