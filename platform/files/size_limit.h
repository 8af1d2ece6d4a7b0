// The file size limit (ulimit -f) as a failed write. Every program calls
// this at start.
#pragma once

namespace platform::files {

// A write beyond the process's file size limit then fails with EFBIG, which
// the writers handle as they handle a full disk, rather than ending the
// process by SIGXFSZ half-way through a line. Programs started later
// inherit the setting.
void FailWritesBeyondTheSizeLimit();

}  // namespace platform::files
