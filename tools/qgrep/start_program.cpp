#include "tools/qgrep/start_program.h"

#include <spawn.h>     // posix_spawn
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // access, readlink

#include <cerrno>
#include <climits>  // PATH_MAX
#include <vector>

#include "platform/process.h"
#include "tools/qgrep/file_names.h"

namespace qgrep {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool EndsWithExe(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view tail = name.substr(name.size() - 4);
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return tail[0] == '.' && lower(tail[1]) == 'e' && lower(tail[2]) == 'x' && lower(tail[3]) == 'e';
}

}  // namespace

std::string OwnDirectory() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string self(path, static_cast<size_t>(n));
  size_t slash = self.rfind('/');
  return slash == std::string::npos ? std::string() : self.substr(0, slash + 1);
}

std::string FindProgramFile(std::string_view name, const std::string& ownDirectory) {
  if (name.empty()) return {};
  std::vector<std::string> names;
  if (EndsWithExe(name)) {
    names.emplace_back(name);
    names.emplace_back(name.substr(0, name.size() - 4));
  } else {
    names.push_back(std::string(name) + ".exe");
    names.emplace_back(name);
  }
  std::vector<std::string> directories{""};
  bool absolute = name[0] == '/' || name[0] == '\\';
  if (!absolute && !ownDirectory.empty()) directories.push_back(ownDirectory);
  for (const std::string& directory : directories) {
    for (const std::string& candidate : names) {
      if (candidate.empty()) continue;
      std::string path = ResolvePath(directory + candidate);
      // posix_spawn would take a bare name as a path too; say it plainly.
      if (path.find('/') == std::string::npos) path = "./" + path;
      if (IsExecutableFile(path)) return path;
    }
  }
  return {};
}

int StartAndWait(const std::string& path, const std::string& name) {
  std::string argument = name;
  char* argv[] = {argument.data(), nullptr};
  pid_t pid = 0;
  std::vector<char*> env = platform::ChildEnvironment();
  int spawned = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, env.data());
  if (spawned != 0) {
    errno = spawned;
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

}  // namespace qgrep
