// Reads a data file of the lookup whole, within a bound: the postal
// authority's files are a few megabytes, so a file far larger than that,
// a directory, a FIFO or a device is refused before it costs time or
// memory. Through the platform's file layer.
#pragma once

#include <string>

namespace address {

// The largest file read: four times the largest edition of KEN_ALL.
inline constexpr long long kMaxDataFileBytes = 80ll << 20;

// Reads the file at `hostPath` (a host path, as a command line names it)
// into `bytes`. False with `error` (UTF-8, naming the file) when it cannot
// be opened or read, is larger than the bound, or holds a NUL byte (no CSV
// file does).
bool ReadDataFile(const std::string& hostPath, std::string& bytes, std::string& error);

}  // namespace address
