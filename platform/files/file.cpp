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

namespace {

int Flags(unsigned mode) {
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
  if (mode & kExclusive) flags |= O_EXCL;
  // The open does not wait on a named pipe; OpenDescriptor then refuses
  // what is not a regular file. Nothing else opens with O_NONBLOCK.
  if (mode & kRegularFile) flags |= O_NONBLOCK;
  return flags;
}

}  // namespace

// Opens the host path: a File, or a closed one with errno set.
File OpenDescriptor(const std::string& hostPath, int flags, unsigned permissions) {
  int fd;
  do {
    fd = Sys().open(hostPath.c_str(), flags, static_cast<mode_t>(permissions));
  } while (fd < 0 && errno == EINTR);
  File file(fd);
  // Opening a directory for writing fails by itself; for reading it would
  // succeed and fail only at the first read, so refuse it here.
  bool regularOnly = flags & O_NONBLOCK;
  if (fd >= 0 && ((flags & O_ACCMODE) == O_RDONLY || regularOnly)) {
    struct stat st;
    if (Sys().fstat(fd, &st) != 0) {
      int err = errno;
      file.Close();
      errno = err;
    } else if (S_ISDIR(st.st_mode)) {
      file.Close();
      errno = EISDIR;
    } else if (regularOnly && !S_ISREG(st.st_mode)) {
      file.Close();
      errno = EINVAL;
    }
  }
  return file;
}

File Open(std::string_view path, unsigned mode, unsigned permissions) {
  int flags = Flags(mode);
  // An existing file under its quick path opens with one call; creating is
  // left to the full lookup, which keeps the spelling of a variant that
  // exists.
  if (!(flags & O_EXCL)) {
    File quick = OpenDescriptor(QuickHostPath(path), flags & ~O_CREAT, permissions);
    if (quick.IsOpen() || errno == EISDIR || errno == EINVAL) return quick;
  }
  std::string host = HostPath(path);
  File file = OpenDescriptor(host, flags, permissions);
  if (file.IsOpen() && (flags & O_CREAT)) NoteCreated(host);
  return file;
}

File OpenHostPath(const std::string& hostPath, unsigned mode, unsigned permissions) {
  return OpenDescriptor(hostPath, Flags(mode), permissions);
}

std::optional<std::string> ReadWholeHostFile(const std::string& hostPath) {
  File file = OpenHostPath(hostPath, kRead | kRegularFile);
  if (!file.IsOpen()) return std::nullopt;
  std::string bytes;
  char buffer[8192];
  for (;;) {
    long n = file.Read(buffer, sizeof buffer);
    if (n < 0) return std::nullopt;
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

long Read(int fd, void* buf, size_t n) {
  ssize_t r;
  do {
    r = Sys().read(fd, buf, n);
  } while (r < 0 && errno == EINTR);
  return static_cast<long>(r);
}

long Write(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t w = Sys().write(fd, p, left);
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
  return static_cast<long>(bytes.size());
}

long File::Read(void* buf, size_t n) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  return files::Read(fd_, buf, n);
}

long File::Write(const void* buf, size_t n) { return Write(std::string_view(static_cast<const char*>(buf), n)); }

long File::Write(std::string_view bytes) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  return files::Write(fd_, bytes);
}

long long File::Seek(long long offset, int whence) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  return static_cast<long long>(Sys().lseek(fd_, static_cast<off_t>(offset), whence));
}

long long File::Size() {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  struct stat st;
  if (Sys().fstat(fd_, &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

int File::Truncate(long long length) {
  if (fd_ < 0) {
    errno = EBADF;
    return -1;
  }
  int r;
  do {
    r = Sys().ftruncate(fd_, static_cast<off_t>(length));
  } while (r != 0 && errno == EINTR);
  return r;
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

std::string HostErrorText(std::string_view what, std::string_view path, int err) {
  return HostPathErrorText(what, HostPath(path), err);
}

std::string HostPathErrorText(std::string_view what, std::string_view hostPath, int err) {
  std::string text = "cannot ";
  text += what;
  text += ' ';
  text += hostPath;
  text += ": ";
  text += std::strerror(err);
  return text;
}

}  // namespace platform::files
