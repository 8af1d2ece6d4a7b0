// Writes a file's content whole, for every writer that gives a file new
// content (the settings, quick pages, the master file, stamps, the grep
// program's output). What stands at the name decides how:
//   - no file, or a regular file: the bytes go to "<name>.PID.tmp" beside
//     it, renamed over it at the end with the old file's mode and owner, so
//     a write that fails or stops half-way leaves the old file whole (and a
//     temporary file of a writer that was killed goes at the next write);
//   - a symbolic link: followed; the file it names is written as above and
//     the link stays a link;
//   - no regular file (a device, a named pipe): written in place, never
//     replaced or removed; a pipe without a reader fails (ENXIO) at once
//     rather than waiting for one;
//   - a regular file whose directory takes no new file, or whose owner a
//     new file cannot keep: emptied and written in place.
// A file that cannot be written in place (write-protected) is not replaced
// either. Writers of the same name at the same time each write a whole
// file of their own; the last to finish wins.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file.h"

namespace platform::files {

class WholeFileWriter {
 public:
  WholeFileWriter() = default;
  ~WholeFileWriter() { Abandon(); }
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  // Starts writing the file at a CP932 path, or at a host path as the host
  // names it; permissions apply to a new file. 0, or -1 with errno set.
  int Begin(std::string_view path, unsigned permissions = 0666);
  int BeginHostPath(const std::string& hostPath, unsigned permissions = 0666);

  // Where the bytes go until Commit.
  File& Output() { return file_; }
  long Write(std::string_view bytes) { return file_.Write(bytes); }

  // Finishes: closes the output and puts the temporary file in place of
  // the old one. 0, or -1 with errno set, the old file then left as it was
  // (unless written in place).
  int Commit();

  // Closes the output and removes the temporary file; keeps errno.
  void Abandon();

 private:
  File file_;
  std::string target_;     // the host path written
  std::string temporary_;  // empty when written in place
};

// The whole of `bytes` as the content of the file: 0, or -1 with errno set.
int WriteWholeFile(std::string_view path, std::string_view bytes, unsigned permissions = 0666);
int WriteWholeHostFile(const std::string& hostPath, std::string_view bytes, unsigned permissions = 0666);

}  // namespace platform::files
