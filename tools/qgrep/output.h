// Where the matching lines go: standard output, or a file that is replaced
// only when the search has finished. Lines are written into a temporary
// file beside the target, which is renamed over it at the end, so a failed
// or stopped run leaves the old file as it was, never half a result. A
// target that is no regular file (a named pipe, a device) is written in
// place (platform/files/whole_file.h).
#pragma once

#include <string>
#include <string_view>

#include "platform/files/whole_file.h"

namespace qgrep {

class Output {
 public:
  Output() = default;  // standard output
  ~Output();           // abandons an unfinished file
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes to the host file `path` from now on. False, with `error` saying
  // why, when it cannot be written.
  bool OpenFile(const std::string& path, std::string& error);

  // Appends `prefix`, `line` and CR LF.
  void WriteLine(std::string_view prefix, std::string_view line);

  // Writes out what is buffered; for a file, puts what was written in place
  // of the old content. False, with `error`, when any write failed (the
  // target is then left as it was, unless written in place).
  bool Finish(std::string& error);

  // Removes the temporary file; the target is left as it was.
  void Abandon();

 private:
  void Flush();

  platform::files::WholeFileWriter file_;  // unused for standard output
  std::string target_;                     // empty for standard output
  std::string buffer_;
  int writeError_ = 0;
};

}  // namespace qgrep
