#include "platform/files/whole_file.h"

#include <fcntl.h>     // O_* flags, F_GETFL, F_SETFL
#include <sys/stat.h>  // struct stat, S_ISREG
#include <unistd.h>    // geteuid, getegid, getpid

#include <cerrno>
#include <climits>  // PATH_MAX
#include <string>
#include <utility>  // std::move

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

  // Made exclusively, so that a link planted at the name is never followed.
  // Where it exists, another writer is at work (or one was stopped
  // part-way): a name of this process's own, so that neither takes the
  // other's file.
  std::string temporary = target + ".tmp";
  File fresh(OpenRaw(temporary, O_WRONLY | O_CREAT | O_EXCL, static_cast<mode_t>(permissions)));
  if (!fresh.IsOpen() && errno == EEXIST) {
    temporary = target + "." + std::to_string(getpid()) + ".tmp";
    Sys().unlink(temporary.c_str());
    fresh = File(OpenRaw(temporary, O_WRONLY | O_CREAT | O_EXCL, static_cast<mode_t>(permissions)));
  }
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
