// Low-level file operations on CP932 path texts: a thin layer over POSIX
// descriptors, every call through the seam of system_calls.h, each
// descriptor owned by a File. Paths are mapped with HostPath. Failures
// return -1 with errno set; ErrorText says what failed and why.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::files {

// Open modes; combine with |. Without kCreate the file must exist.
enum OpenMode : unsigned {
  kRead = 1u,
  kWrite = 2u,
  kReadWrite = kRead | kWrite,
  kCreate = 4u,      // create the file if missing
  kTruncate = 8u,    // empty the file if present
  kAppend = 16u,     // every write goes to the end
  kExclusive = 32u,  // with kCreate: fail when the file exists
  // Refuse anything but a regular file (EINVAL), without waiting on it:
  // opening a named pipe would otherwise block until a writer comes.
  kRegularFile = 64u,
};

class WholeFileWriter;

// An open file: owns its descriptor and closes it when it goes, so no
// path through a function can leave a descriptor open or close one twice.
// Moves, never copies. A File that holds no descriptor reads and writes
// nothing (-1, EBADF).
class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return fd_ >= 0; }

  // Reads up to n bytes: the count, 0 at the end of the file, or -1.
  long Read(void* buf, size_t n);

  // Writes all n bytes, completing short writes: n, or -1.
  long Write(const void* buf, size_t n);
  long Write(std::string_view bytes);

  // Moves the position (whence as for lseek): the new position, or -1.
  long long Seek(long long offset, int whence);

  // The file's length in bytes, or -1.
  long long Size();

  // Cuts the file to `length` bytes: 0, or -1.
  int Truncate(long long length);

  // Closes the file now: 0, or -1 with errno set when the close failed,
  // which can lose what was written. A closed File closes as 0.
  int Close();

 private:
  friend File OpenDescriptor(const std::string& hostPath, int flags, unsigned permissions);
  friend class WholeFileWriter;  // opens its descriptors itself
  explicit File(int fd) : fd_(fd) {}

  int fd_ = -1;
};

// Opens a file; permissions apply when it is created. A closed File with
// errno set when it cannot be opened. A directory opened only for reading
// is refused (EISDIR), as it is for writing.
File Open(std::string_view path, unsigned mode, unsigned permissions = 0666);

// The same for a host path as the host names it (a command-line operand,
// say): no CP932 mapping and no lookup without regard to case.
File OpenHostPath(const std::string& hostPath, unsigned mode, unsigned permissions = 0666);

// The whole content of the regular file at a host path, read without
// waiting on a named pipe: nothing, with errno set, when it cannot be
// opened (a pipe or device counts as such) or read.
std::optional<std::string> ReadWholeHostFile(const std::string& hostPath);

// Reading and writing a descriptor that is not the caller's to close
// (standard input and output): as File::Read and File::Write.
long Read(int fd, void* buf, size_t n);
long Write(int fd, std::string_view bytes);

// Creates a directory. An existing directory counts as success (0).
int MakeDirectory(std::string_view path);

int Rename(std::string_view from, std::string_view to);
int Remove(std::string_view path);

// "cannot <what> <path>: <reason>" in UTF-8, for messages and logs.
std::string ErrorText(std::string_view what, std::string_view path, int err);

// The same, naming the file as the host does ("Zip_Code/N_ｻ/ｷﾀ.Idx" for
// "ZIP_CODE\N_ｻ\ｷﾀ.Idx"), so that a user can look at it in a shell.
std::string HostErrorText(std::string_view what, std::string_view path, int err);

// The same for a path the host already names (a workspace, a download),
// shown as it stands.
std::string HostPathErrorText(std::string_view what, std::string_view hostPath, int err);

}  // namespace platform::files
