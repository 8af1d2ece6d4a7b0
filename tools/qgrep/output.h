// Where the matching lines go: standard output, or a file that is replaced
// only when the search has finished. Lines are written into a temporary
// file beside the target, which is renamed over it at the end, so a failed
// or stopped run leaves the old file as it was, never half a result.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file.h"

namespace qgrep {

class Output {
 public:
  Output() = default;  // standard output
  ~Output();           // abandons an unfinished file
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes to the host file `path` from now on, through a temporary file
  // beside it. False, with `error` saying why, when that cannot be made.
  bool OpenFile(const std::string& path, std::string& error);

  // Appends `prefix`, `line` and CR LF.
  void WriteLine(std::string_view prefix, std::string_view line);

  // Writes out what is buffered; for a file, closes the temporary file and
  // renames it over the target. False, with `error`, when any write failed
  // (the target is then left as it was).
  bool Finish(std::string& error);

  // Removes the temporary file; the target is left as it was.
  void Abandon();

 private:
  void Flush();

  platform::files::File file_;  // the temporary file; closed for standard output
  std::string target_;     // empty for standard output
  std::string temporary_;  // the file being written, until renamed
  std::string buffer_;
  int writeError_ = 0;
};

}  // namespace qgrep
