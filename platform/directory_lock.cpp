#include "platform/directory_lock.h"

#include <fcntl.h>     // open, fcntl
#include <sys/file.h>  // flock
#include <unistd.h>    // close

namespace platform {

DirectoryLock::DirectoryLock(const std::string& directory, Kind kind) {
  // Close-on-exec: a program started from the holder must not keep the
  // lock after the holder has ended.
  fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) return;
  if (flock(fd_, (kind == Kind::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    close(fd_);
    fd_ = -1;
  }
}

void DirectoryLock::KeepAcrossExec() {
  if (fd_ >= 0) fcntl(fd_, F_SETFD, 0);
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace platform
