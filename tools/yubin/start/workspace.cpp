#include "tools/yubin/start/workspace.h"

#include <fcntl.h>     // open
#include <pwd.h>       // getpwuid
#include <sys/file.h>  // flock
#include <sys/stat.h>  // mkdir
#include <unistd.h>    // getuid, readlink, symlink

#include <algorithm>  // std::max
#include <cerrno>
#include <cstdlib>  // std::getenv, std::strtoll
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/directory_lock.h"
#include "platform/files/file.h"
#include "platform/files/whole_file.h"

namespace yubin::start {

namespace fs = std::filesystem;
namespace files = platform::files;

namespace {

constexpr char kCurrent[] = "current";
constexpr char kStamp[] = ".prepared";
constexpr std::string_view kPrefix = "workspace-";

// The number of a workspace's directory name ("workspace-12" is 12), or -1.
long NumberOf(std::string_view name) {
  if (!name.starts_with(kPrefix) || name.size() == kPrefix.size() || name.size() > kPrefix.size() + 9) return -1;
  long number = 0;
  for (char c : name.substr(kPrefix.size())) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The workspace directories in the root, by name.
std::vector<std::string> WorkspaceNames(const std::string& root) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(root, ec)) {
    std::string name = entry.path().filename().string();
    if (NumberOf(name) >= 0 && entry.is_directory(ec) && !entry.is_symlink(ec)) names.push_back(name);
  }
  return names;
}

std::string LinkTarget(const std::string& link) {
  char target[4096];
  ssize_t n = readlink(link.c_str(), target, sizeof target);
  return n > 0 && static_cast<size_t>(n) < sizeof target ? std::string(target, static_cast<size_t>(n)) : std::string();
}

bool IsComplete(const std::string& workspace) { return Workspaces::DataTime(workspace) >= 0; }

// Makes the directory and any missing parents, each with mode 0700.
bool MakeDirectories(const fs::path& path, std::string& error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return true;
  if (path.has_parent_path() && path.parent_path() != path && !MakeDirectories(path.parent_path(), error)) return false;
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    error = files::HostPathErrorText("create directory", path.string(), errno);
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> Workspaces::DefaultRoot(std::string& error) {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return std::string(dataHome) + "/yubin";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') {
    error = "no home directory: set HOME or XDG_DATA_HOME";
    return std::nullopt;
  }
  return std::string(home) + "/.local/share/yubin";
}

bool Workspaces::Lock(std::string& error) {
  if (!MakeDirectories(root_, error)) return false;
  std::string path = root_ + "/.lock";
  // Never closed: the lock lasts as long as the process, and the descriptor
  // closes when another program replaces it, so that one holds no lock.
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = files::HostPathErrorText("create", path, errno);
    return false;
  }
  while (flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      error = files::HostPathErrorText("lock", path, errno);
      close(fd);
      return false;
    }
  }
  return true;
}

std::string Workspaces::Current() const {
  std::string target = LinkTarget(root_ + "/" + kCurrent);
  if (NumberOf(target) < 0) return {};
  std::string workspace = root_ + "/" + target;
  return IsComplete(workspace) ? workspace : std::string();
}

long long Workspaces::DataTime(const std::string& workspace) {
  files::File stamp = files::OpenHostPath(workspace + "/" + kStamp, files::kRead | files::kRegularFile);
  char text[64] = {};
  long n = stamp.IsOpen() ? stamp.Read(text, sizeof text - 1) : -1;
  std::string_view content(text, n > 0 ? static_cast<size_t>(n) : 0);
  constexpr std::string_view kKey = "data time ";
  if (!content.starts_with(kKey)) return -1;
  char* end = nullptr;
  long long time = std::strtoll(text + kKey.size(), &end, 10);
  return end != text + kKey.size() && *end == '\n' && time >= 0 ? time : -1;
}

bool Workspaces::HoldsDataOf(const std::string& workspace, long long dataTime, long long now) {
  long long stamp = DataTime(workspace);
  return stamp >= 0 && (stamp == dataTime || (stamp > dataTime && stamp <= now));
}

std::string Workspaces::MakeNew(std::string& error) {
  long highest = 0;
  for (const std::string& name : WorkspaceNames(root_)) {
    std::string workspace = root_ + "/" + name;
    if (!IsComplete(workspace))
      Discard(workspace);
    else
      highest = std::max(highest, NumberOf(name));
  }
  // A number above every one left, complete or not: a directory that could
  // not be removed is never reused.
  for (const std::string& name : WorkspaceNames(root_)) highest = std::max(highest, NumberOf(name));
  std::string workspace = root_ + "/" + std::string(kPrefix) + std::to_string(highest + 1);
  if (mkdir(workspace.c_str(), 0755) != 0) {
    error = files::HostPathErrorText("create directory", workspace, errno);
    return {};
  }
  return workspace;
}

bool Workspaces::MarkComplete(const std::string& workspace, long long dataTime, std::string& error) {
  std::string path = workspace + "/" + kStamp;
  files::WholeFileWriter stamp;
  if (stamp.BeginHostPath(path, 0644) != 0) {
    error = files::HostPathErrorText("create", path, errno);
    return false;
  }
  if (stamp.Write("data time " + std::to_string(dataTime) + "\n") < 0 || stamp.Commit() != 0) {
    error = files::HostPathErrorText("write", path, errno);
    return false;
  }
  return true;
}

bool Workspaces::SwitchTo(const std::string& workspace, std::string& error) {
  std::string name = fs::path(workspace).filename().string();
  std::string previous = LinkTarget(root_ + "/" + kCurrent);
  std::string link = root_ + "/" + kCurrent;
  std::string fresh = root_ + "/.current.new";
  unlink(fresh.c_str());
  if (symlink(name.c_str(), fresh.c_str()) != 0) {
    error = files::HostPathErrorText("create link", fresh, errno);
    return false;
  }
  if (rename(fresh.c_str(), link.c_str()) != 0) {
    error = files::HostPathErrorText("replace", link, errno);
    unlink(fresh.c_str());
    return false;
  }
  for (const std::string& other : WorkspaceNames(root_))
    if (other != name && other != previous) Discard(root_ + "/" + other);
  return true;
}

void Workspaces::Discard(const std::string& workspace) {
  // A search application running there holds the shared lock: the
  // workspace stays, and a start after it has ended removes it. Its
  // quick-result files go with it, since they hold results of its data.
  platform::DirectoryLock unused(workspace, platform::DirectoryLock::Kind::kExclusive);
  if (!unused.Held()) return;
  std::error_code ignored;
  fs::remove_all(workspace, ignored);
}

}  // namespace yubin::start
