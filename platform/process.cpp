#include "platform/process.h"

#include <spawn.h>     // posix_spawn
#include <sys/stat.h>  // stat
#include <sys/wait.h>  // waitpid
#include <fcntl.h>     // O_CLOEXEC
#include <unistd.h>    // access, lseek, read, unlink

#include <cerrno>
#include <csignal>  // sigset_t, SIGPIPE
#include <cstdlib>  // std::getenv, mkostemp

#include "platform/files/host_path.h"
#include "platform/text/cp932.h"

extern char** environ;

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLeadByte(std::string_view s, size_t i) {
  return i + 1 < s.size() && text::Cp932CharLength(static_cast<unsigned char>(s[i])) == 2;
}

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

bool EndsWithExe(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view tail = name.substr(name.size() - 4);
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return tail[0] == '.' && lower(tail[1]) == 'e' && lower(tail[2]) == 'x' && lower(tail[3]) == 'e';
}

bool IsExecutableFile(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(host.c_str(), X_OK) == 0;
}

}  // namespace

std::string JoinCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += ' ';
    line += args[i];
  }
  return line;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::string current;
  bool inArgument = false;
  bool inQuotes = false;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (IsLeadByte(line, i)) {
      current.append(line.substr(i, 2));
      inArgument = true;
      i += 2;
    } else if (c == '\\') {
      size_t run = 0;
      while (i < line.size() && line[i] == '\\') {
        ++run;
        ++i;
      }
      inArgument = true;
      if (i < line.size() && line[i] == '"') {
        current.append(run / 2, '\\');
        if (run % 2 == 1) {
          current += '"';
          ++i;
        }
        // With an even run the quote groups: the next turn handles it.
      } else {
        current.append(run, '\\');
      }
    } else if (c == '"') {
      inQuotes = !inQuotes;
      inArgument = true;
      ++i;
    } else if (IsBlank(c) && !inQuotes) {
      if (inArgument) args.push_back(current);
      current.clear();
      inArgument = false;
      ++i;
    } else {
      current += c;
      inArgument = true;
      ++i;
    }
  }
  if (inArgument) args.push_back(current);
  return args;
}

std::string EscapeForQuotes(std::string_view text) {
  std::string out;
  size_t backslashes = 0;
  size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    if (text::Cp932CharLength(b) == 2) {
      // The splitter takes a lead byte and whatever follows as one
      // character; a lead byte without its trail byte would take the
      // closing quote or a quote's escape with it, so it is dropped.
      if (i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
        out.append(backslashes, '\\');
        backslashes = 0;
        out.append(text.substr(i, 2));
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    char c = text[i++];
    if (c == '\\') {
      ++backslashes;
    } else if (c == '"') {
      out.append(2 * backslashes + 1, '\\');
      out += '"';
      backslashes = 0;
    } else {
      out.append(backslashes, '\\');
      backslashes = 0;
      out += c;
    }
  }
  // The closing quote follows: backslashes before it are doubled.
  out.append(2 * backslashes, '\\');
  return out;
}

std::string FindProgram(std::string_view program) {
  std::vector<std::string> candidates;
  if (EndsWithExe(program)) {
    candidates.emplace_back(program);
    candidates.emplace_back(program.substr(0, program.size() - 4));
  } else {
    candidates.push_back(std::string(program) + ".exe");
    candidates.emplace_back(program);
  }
  for (const std::string& candidate : candidates) {
    if (candidate.empty()) continue;
    std::string host = files::HostPath(candidate);
    if (IsExecutableFile(host)) {
      // posix_spawn takes a bare name as a path too, but say so plainly.
      if (host.find('/') == std::string::npos) host = "./" + host;
      return host;
    }
  }
  return {};
}

std::vector<char*> ChildEnvironment() {
  std::vector<char*> env;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    std::string_view e(*entry);
    if (e.starts_with("DIALOG_BACKEND=") || e.starts_with("DIALOG_SCRIPT=")) continue;
    env.push_back(*entry);
  }
  env.push_back(nullptr);
  return env;
}

namespace {

// Starts the program and waits; with `errorFd` at 0 or more, the child's
// standard error goes there.
int Run(std::string_view program, const std::vector<std::string>& args, int errorFd) {
  std::string host = FindProgram(program);
  if (host.empty()) return -1;
  std::vector<std::string> split = SplitCommandLine(JoinCommandLine(args));
  if (split.empty()) split.emplace_back(program);
  std::vector<std::string> utf8;
  utf8.reserve(split.size());
  for (const std::string& arg : split) utf8.push_back(text::ToUtf8(arg));
  std::vector<char*> argv;
  for (std::string& arg : utf8) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> env = ChildEnvironment();

  // The child starts with the default handling of SIGPIPE and nothing
  // blocked, whatever this process ignores (SIGPIPE, after the socket
  // start-up) or blocks: ignored signals would otherwise pass to it.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (errorFd >= 0) posix_spawn_file_actions_adddup2(&actions, errorFd, STDERR_FILENO);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, host.c_str(), &actions, &attr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (spawned != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An unnamed temporary file for a child's standard error, or -1.
int TemporaryErrorFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/yubin-stderr-XXXXXX";
  int fd = mkostemp(path.data(), O_CLOEXEC);
  if (fd >= 0) unlink(path.c_str());
  return fd;
}

}  // namespace

int StartAndWait(std::string_view program, const std::vector<std::string>& args) { return Run(program, args, -1); }

ChildEnd StartAndWaitForErrors(std::string_view program, const std::vector<std::string>& args) {
  ChildEnd end;
  // Without a temporary file the child writes where this process does.
  int errorFd = TemporaryErrorFile();
  end.status = Run(program, args, errorFd);
  if (errorFd < 0) return end;
  end.errorOutput.resize(kErrorOutputMax);
  std::size_t got = 0;
  if (lseek(errorFd, 0, SEEK_SET) == 0) {
    while (got < kErrorOutputMax) {
      ssize_t n = read(errorFd, end.errorOutput.data() + got, kErrorOutputMax - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
  }
  end.errorOutput.resize(got);
  close(errorFd);
  return end;
}

}  // namespace platform
