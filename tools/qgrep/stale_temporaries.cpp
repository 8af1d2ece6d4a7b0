#include "tools/qgrep/stale_temporaries.h"

#include <signal.h>  // kill

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/files/system_calls.h"

namespace qgrep {
namespace {

// The process number in "PID" or "PID-N", or 0 when the rest is neither.
pid_t ProcessOf(std::string_view rest) {
  long pid = 0;
  size_t i = 0;
  for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && pid < 1'000'000'000; ++i)
    pid = pid * 10 + (rest[i] - '0');
  if (i == 0 || pid == 0) return 0;
  if (i < rest.size()) {
    if (rest[i] != '-' || i + 1 == rest.size()) return 0;
    for (size_t k = i + 1; k < rest.size(); ++k)
      if (rest[k] < '0' || rest[k] > '9') return 0;
  }
  return static_cast<pid_t>(pid);
}

bool HasEnded(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string prefix = "." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".qgrep-";
  std::vector<std::string> names;
  if (platform::files::Sys().listDirectory(directory.empty() ? "." : directory.c_str(), names) != 0) return;
  for (const std::string& name : names) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    pid_t pid = ProcessOf(std::string_view(name).substr(prefix.size()));
    if (pid > 0 && HasEnded(pid)) platform::files::Sys().unlink((directory + name).c_str());
  }
}

}  // namespace qgrep
