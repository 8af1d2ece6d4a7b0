#include "platform/files/whole_file.h"

#include <fcntl.h>     // O_* flags, F_GETFL, F_SETFL
#include <signal.h>    // kill
#include <sys/stat.h>  // struct stat, S_ISREG
#include <unistd.h>    // geteuid, getegid, getpid

#include <cerrno>
#include <climits>  // PATH_MAX
#include <string>
#include <string_view>
#include <utility>  // std::move
#include <vector>

#include "platform/files/directory_names.h"
#include "platform/files/host_path.h"
#include "platform/files/system_calls.h"

namespace platform::files {
namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit for one path

// Follows the symbolic links that `path` names, one after another, to the
// name that is no link (or names nothing yet). False with errno set for a
// loop or a link that cannot be read.
bool FollowLinks(std::string& path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    char target[PATH_MAX];
    ssize_t n = Sys().readlink(path.c_str(), target, sizeof target);
    if (n < 0) return errno == EINVAL || errno == ENOENT || errno == ENOTDIR;
    if (n == 0 || static_cast<size_t>(n) == sizeof target) {
      errno = ENAMETOOLONG;
      return false;
    }
    std::string next(target, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
    path = std::move(next);
  }
  errno = ELOOP;
  return false;
}

int OpenRaw(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = Sys().open(path.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Gives the new file `fd` the owner and mode of the old one (`old`). 1 when
// done, 0 when the owner cannot be given (the file is then written in
// place), -1 with errno on another failure.
int KeepOwnerAndMode(int fd, const struct stat& old) {
  // The owner first: changing it clears the set-user-ID bits.
  if ((old.st_uid != geteuid() || old.st_gid != getegid()) && Sys().fchown(fd, old.st_uid, old.st_gid) != 0)
    return errno == EPERM ? 0 : -1;
  return Sys().fchmod(fd, old.st_mode & 07777) == 0 ? 1 : -1;
}

// The process number in the middle of "<base>.PID.tmp", or 0.
pid_t WriterOf(std::string_view name, std::string_view base) {
  if (name.size() <= base.size() + 5 || !name.starts_with(base) || name[base.size()] != '.' || !name.ends_with(".tmp"))
    return 0;
  std::string_view digits = name.substr(base.size() + 1, name.size() - base.size() - 5);
  long pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || pid > 100'000'000) return 0;
    pid = pid * 10 + (c - '0');
  }
  return static_cast<pid_t>(pid);
}

// Removes the temporary files of `target` whose writer has ended: a
// program killed half-way leaves one behind, as large as what it wrote.
// A file whose process still runs is another writer's and stays.
void RemoveStaleTemporaries(const std::string& target) {
  size_t slash = target.rfind('/');
  std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::vector<std::string> names;
  if (Sys().listDirectory(directory.empty() ? "." : directory.c_str(), names) != 0) return;
  for (const std::string& name : names) {
    pid_t pid = WriterOf(name, base);
    if (pid > 0 && pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH) Sys().unlink((directory + name).c_str());
  }
}

}  // namespace

int WholeFileWriter::Begin(std::string_view path, unsigned permissions) {
  return BeginHostPath(HostPath(path), permissions);
}

int WholeFileWriter::BeginHostPath(const std::string& hostPath, unsigned permissions) {
  Abandon();
  std::string target = hostPath;
  if (!FollowLinks(target)) return -1;
  // Opening the file for writing tells whether it may be written at all,
  // without waiting on a named pipe; it stays open for writing in place.
  File existing(OpenRaw(target, O_WRONLY | O_NONBLOCK, 0));
  if (!existing.IsOpen() && errno != ENOENT) return -1;
  struct stat old {};
  if (existing.IsOpen()) {
    if (Sys().fstat(existing.fd_, &old) != 0) return -1;
    if (!S_ISREG(old.st_mode)) {
      // A reader is there; writes may now wait for it, as they would for
      // a terminal.
      int flags = Sys().fcntl(existing.fd_, F_GETFL, 0);
      if (flags < 0 || Sys().fcntl(existing.fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) return -1;
      file_ = std::move(existing);
      return 0;
    }
  }
  auto inPlace = [&]() {
    if (existing.Truncate(0) != 0) return -1;
    file_ = std::move(existing);
    return 0;
  };

  // A name of this process's own, so that writers of the same name at the
  // same time never take each other's file; made exclusively, so that a
  // link planted at the name is never followed. One left by an ended
  // process of the same number goes first.
  RemoveStaleTemporaries(target);
  std::string temporary = target + "." + std::to_string(getpid()) + ".tmp";
  Sys().unlink(temporary.c_str());
  File fresh(OpenRaw(temporary, O_WRONLY | O_CREAT | O_EXCL, static_cast<mode_t>(permissions)));
  if (!fresh.IsOpen()) return existing.IsOpen() && (errno == EACCES || errno == EPERM) ? inPlace() : -1;
  if (existing.IsOpen()) {
    int kept = KeepOwnerAndMode(fresh.fd_, old);
    if (kept != 1) {
      int err = errno;
      fresh.Close();
      Sys().unlink(temporary.c_str());
      errno = err;
      return kept == 0 ? inPlace() : -1;
    }
  }
  file_ = std::move(fresh);
  target_ = std::move(target);
  temporary_ = std::move(temporary);
  return 0;
}

int WholeFileWriter::Commit() {
  if (!file_.IsOpen()) {
    errno = EBADF;
    return -1;
  }
  if (file_.Close() != 0) {
    Abandon();
    return -1;
  }
  if (temporary_.empty()) return 0;
  if (Sys().rename(temporary_.c_str(), target_.c_str()) != 0) {
    Abandon();
    return -1;
  }
  NoteCreated(target_);
  temporary_.clear();
  target_.clear();
  return 0;
}

void WholeFileWriter::Abandon() {
  int err = errno;
  file_.Close();
  if (!temporary_.empty()) Sys().unlink(temporary_.c_str());
  temporary_.clear();
  target_.clear();
  errno = err;
}

int WriteWholeHostFile(const std::string& hostPath, std::string_view bytes, unsigned permissions) {
  WholeFileWriter writer;
  if (writer.BeginHostPath(hostPath, permissions) != 0 || writer.Write(bytes) < 0) return -1;
  return writer.Commit();
}

int WriteWholeFile(std::string_view path, std::string_view bytes, unsigned permissions) {
  return WriteWholeHostFile(HostPath(path), bytes, permissions);
}

}  // namespace platform::files
