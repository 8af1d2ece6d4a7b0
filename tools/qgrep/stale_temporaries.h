// An output file is written through a temporary file beside it, named
// ".NAME.qgrep-PID" or ".NAME.qgrep-PID-N" (output.cpp). A run that was
// killed leaves that file behind, as large as the result it was writing;
// the next run that writes NAME removes it. Touches nothing else.
#pragma once

#include <string>

namespace qgrep {

// Removes the temporary files of the host file `path` whose process has
// ended. A file whose process still runs (or that names no number) stays.
void RemoveStaleTemporaries(const std::string& path);

}  // namespace qgrep
