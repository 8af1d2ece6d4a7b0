// Maps the system's CP932 path texts onto host file names, so that every
// program and tool finds what another one wrote. Does not open anything.
//
// Separators are the single-byte "\" and "/" standing as characters of
// their own: a 0x5C trail byte is never one, and a lead byte before "/"
// (never a trail byte) is a byte of its own. A drive prefix such as "c:" is
// dropped; a path that starts with a separator is absolute, any other
// relative to the current directory. Each component is written in UTF-8,
// with bytes that form no CP932 character, NUL and control bytes as %XX,
// and a "%" that would read as such an escape as %25, so that no two names
// map to one host name ("%01" is "%2501", "\x01" is "%01"); a "%" before
// anything else, "%20" among them, stays as it is.
// Names compare without regard to ASCII case: an exact match wins, else the
// first entry in byte order that matches, else the spelling asked for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::files {

// The components of a CP932 path, split at separators, drive prefix dropped.
// `absolute` tells whether the path started with a separator.
std::vector<std::string> SplitPath(std::string_view cp932Path, bool& absolute);

// One CP932 name component as a host name (UTF-8 with %XX escapes).
std::string HostName(std::string_view cp932Name);

// The host path of a CP932 path, resolved against what exists on disk.
std::string HostPath(std::string_view cp932Path);

// The host path to try first when the file may exist, found without a system
// call: the exact spelling, or the file's name below a directory that
// HostPath resolved before under another spelling. Open tries it before the
// full lookup, so that opening an existing file costs one call.
std::string QuickHostPath(std::string_view cp932Path);

}  // namespace platform::files
