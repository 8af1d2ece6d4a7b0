#include "platform/files/file.h"

#include <fcntl.h>  // O_* flags

#include <cerrno>
#include <cstring>  // std::strerror
#include <utility>  // std::exchange

#include "platform/files/directory_names.h"
#include "platform/files/host_path.h"
#include "platform/files/system_calls.h"
#include "platform/text/cp932.h"

namespace platform::files {

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

File Open(std::string_view path, unsigned mode, unsigned permissions) {
  int flags = 0;
  if ((mode & kReadWrite) == kReadWrite)
    flags = O_RDWR;
  else if (mode & kWrite)
    flags = O_WRONLY;
  else
    flags = O_RDONLY;
  if (mode & kCreate) flags |= O_CREAT;
  if (mode & kTruncate) flags |= O_TRUNC;
  if (mode & kAppend) flags |= O_APPEND;
  auto openHost = [&](const std::string& host, int withFlags) {
    int fd;
    do {
      fd = Sys().open(host.c_str(), withFlags, static_cast<mode_t>(permissions));
    } while (fd < 0 && errno == EINTR);
    return fd;
  };
  // An existing file under its quick path opens with one call; creating is
  // left to the full lookup, which keeps the spelling of a variant that
  // exists.
  int fd = openHost(QuickHostPath(path), flags & ~O_CREAT);
  if (fd < 0) {
    std::string host = HostPath(path);
    fd = openHost(host, flags);
    if (fd >= 0 && (flags & O_CREAT)) NoteCreated(host);
  }
  File file(fd);
  // Opening a directory for writing fails by itself; for reading it would
  // succeed and fail only at the first read, so refuse it here.
  if (fd >= 0 && flags == O_RDONLY) {
    struct stat st;
    if (Sys().fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      file.Close();
      errno = EISDIR;
    }
  }
  return file;
}

long File::Read(void* buf, size_t n) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  ssize_t r;
  do {
    r = Sys().read(fd_, buf, n);
  } while (r < 0 && errno == EINTR);
  return static_cast<long>(r);
}

long File::Write(const void* buf, size_t n) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  const char* p = static_cast<const char*>(buf);
  size_t left = n;
  while (left > 0) {
    ssize_t w = Sys().write(fd_, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (w == 0) {
      errno = EIO;
      return -1;
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
  return static_cast<long>(n);
}

long File::Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }

long long File::Seek(long long offset, int whence) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  return static_cast<long long>(Sys().lseek(fd_, static_cast<off_t>(offset), whence));
}

int File::Close() {
  if (fd_ < 0) return 0;
  int fd = std::exchange(fd_, -1);
  return Sys().close(fd);
}

int MakeDirectory(std::string_view path) {
  std::string host = HostPath(path);
  if (Sys().mkdir(host.c_str(), 0777) == 0) {
    NoteDirectoryMade(host);
    return 0;
  }
  if (errno == EEXIST) {
    struct stat st;
    if (Sys().stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    errno = EEXIST;
  }
  return -1;
}

int Rename(std::string_view from, std::string_view to) {
  std::string hostFrom = HostPath(from);
  std::string hostTo = HostPath(to);
  if (Sys().rename(hostFrom.c_str(), hostTo.c_str()) != 0) return -1;
  NoteRemoved(hostFrom);
  NoteCreated(hostTo);
  return 0;
}

int Remove(std::string_view path) {
  std::string host = HostPath(path);
  if (Sys().unlink(host.c_str()) != 0) return -1;
  NoteRemoved(host);
  return 0;
}

std::string ErrorText(std::string_view what, std::string_view path, int err) {
  std::string text = "cannot ";
  text += what;
  text += ' ';
  text += text::ToUtf8(path);
  text += ": ";
  text += std::strerror(err);
  return text;
}

}  // namespace platform::files
