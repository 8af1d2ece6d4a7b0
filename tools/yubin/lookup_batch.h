// yubin lookup's batch mode: a CSV list of addresses in, the same list out
// with each row's postal code and matched address added as two columns.
// Reads CP932 or UTF-8 and writes what it read; streams, so a long list
// costs no more memory than its longest row. Does not find the data: see
// lookup_command.cpp.
#pragma once

#include <string>

#include "search/address/address_table.h"

namespace yubin {

struct BatchOptions {
  std::string input;     // host path; "-" is standard input
  int column = 0;        // of the address, counted from 1
  std::string encoding;  // "cp932", "utf-8", or empty to detect
  bool header = false;   // the first row names the columns
};

struct BatchCounts {
  long exact = 0;
  long town = 0;
  long city = 0;
  long notFound = 0;
  long unreadable = 0;
};

// Reads the list, looks each row up and writes the result to `outFd`.
// Progress goes to stderr when it is a terminal, a summary at the end in
// any case. Returns 0, or 2 after a message when the list cannot be read
// or the result cannot be written.
int RunBatch(const address::AddressTable& table, const BatchOptions& options, int outFd, BatchCounts& counts);

}  // namespace yubin
