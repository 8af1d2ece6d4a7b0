// Low-level file operations on CP932 path texts: a thin layer over POSIX
// descriptors, every call through the seam of system_calls.h. Paths are
// mapped with HostPath. Failures return -1 with errno set; ErrorText says
// what failed and why.
#pragma once

#include <string>
#include <string_view>

namespace platform::files {

// Open modes; combine with |. Without kCreate the file must exist.
enum OpenMode : unsigned {
  kRead = 1u,
  kWrite = 2u,
  kReadWrite = kRead | kWrite,
  kCreate = 4u,    // create the file if missing
  kTruncate = 8u,  // empty the file if present
  kAppend = 16u,   // every write goes to the end
};

// Opens a file; permissions apply when it is created. A descriptor, or -1.
int Open(std::string_view path, unsigned mode, unsigned permissions = 0666);

// Reads up to n bytes: the count, 0 at the end of the file, or -1.
long Read(int fd, void* buf, size_t n);

// Writes all n bytes, completing short writes: n, or -1.
long Write(int fd, const void* buf, size_t n);
long Write(int fd, std::string_view bytes);

// Moves the position (whence as for lseek): the new position, or -1.
long long Seek(int fd, long long offset, int whence);

// The end-of-file test: 1 when the position is at or past the end, 0 when
// not, -1 when it cannot be told.
int AtEnd(int fd);

// The file's length in bytes, or -1.
long long Length(int fd);

int Close(int fd);

// Creates a directory. An existing directory counts as success (0).
int MakeDirectory(std::string_view path);

int Rename(std::string_view from, std::string_view to);
int Remove(std::string_view path);

// "cannot <what> <path>: <reason>" in UTF-8, for messages and logs.
std::string ErrorText(std::string_view what, std::string_view path, int err);

}  // namespace platform::files
