#include "platform/files/system_calls.h"

#include <dirent.h>  // opendir, readdir
#include <fcntl.h>   // open
#include <unistd.h>  // read, write, lseek, close, ftruncate, readlink, fchown

#include <cerrno>
#include <cstdio>  // std::rename

namespace platform::files {

SystemCalls RealSystemCalls() {
  SystemCalls s;
  s.open = [](const char* path, int flags, mode_t mode) { return ::open(path, flags | O_CLOEXEC, mode); };
  s.read = [](int fd, void* buf, size_t n) { return ::read(fd, buf, n); };
  s.write = [](int fd, const void* buf, size_t n) { return ::write(fd, buf, n); };
  s.lseek = [](int fd, off_t offset, int whence) { return ::lseek(fd, offset, whence); };
  s.close = [](int fd) { return ::close(fd); };
  s.ftruncate = [](int fd, off_t length) { return ::ftruncate(fd, length); };
  s.fstat = [](int fd, struct stat* st) { return ::fstat(fd, st); };
  s.stat = [](const char* path, struct stat* st) { return ::stat(path, st); };
  s.mkdir = [](const char* path, mode_t mode) { return ::mkdir(path, mode); };
  s.rename = [](const char* from, const char* to) { return std::rename(from, to); };
  s.link = [](const char* from, const char* to) { return ::link(from, to); };
  s.unlink = [](const char* path) { return ::unlink(path); };
  s.readlink = [](const char* path, char* buf, size_t n) { return ::readlink(path, buf, n); };
  s.fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
  s.fchown = [](int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); };
  s.fcntl = [](int fd, int command, int argument) { return ::fcntl(fd, command, argument); };
  s.listDirectory = [](const char* path, std::vector<std::string>& names) {
    DIR* dir = ::opendir(path);
    if (!dir) return -1;
    errno = 0;
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(std::move(name));
    }
    int err = errno;
    ::closedir(dir);
    errno = err;
    return err ? -1 : 0;
  };
  return s;
}

SystemCalls& Sys() {
  static SystemCalls calls = RealSystemCalls();
  return calls;
}

}  // namespace platform::files
