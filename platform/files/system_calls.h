// The one seam through which the file layer reaches the operating system.
// Tests replace single calls (to fail with ENOSPC, EACCES, short writes)
// inside a platform::ScopedOverride of Sys() (seam.h), which restores them.
// Nothing above platform/files calls the operating system's file functions
// directly.
#pragma once

#include <sys/stat.h>   // struct stat, mode_t
#include <sys/types.h>  // ssize_t, off_t, uid_t, gid_t

#include <functional>
#include <string>
#include <vector>

namespace platform::files {

struct SystemCalls {
  std::function<int(const char* path, int flags, mode_t mode)> open;
  std::function<ssize_t(int fd, void* buf, size_t n)> read;
  std::function<ssize_t(int fd, const void* buf, size_t n)> write;
  std::function<off_t(int fd, off_t offset, int whence)> lseek;
  std::function<int(int fd)> close;
  std::function<int(int fd, off_t length)> ftruncate;
  std::function<int(int fd, struct stat* st)> fstat;
  std::function<int(const char* path, struct stat* st)> stat;
  std::function<int(const char* path, mode_t mode)> mkdir;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* from, const char* to)> link;
  std::function<int(const char* path)> unlink;
  std::function<ssize_t(const char* path, char* buf, size_t n)> readlink;
  std::function<int(int fd, mode_t mode)> fchmod;
  std::function<int(int fd, uid_t owner, gid_t group)> fchown;
  // fcntl with an int argument (F_GETFL, F_SETFL).
  std::function<int(int fd, int command, int argument)> fcntl;
  // Names in a directory ("." and ".." left out); 0, or -1 with errno set.
  std::function<int(const char* path, std::vector<std::string>& names)> listDirectory;
};

// The calls in force. Starts with the operating system's own.
SystemCalls& Sys();

// The operating system's own calls.
SystemCalls RealSystemCalls();

}  // namespace platform::files
