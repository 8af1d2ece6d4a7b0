// Serves an open file one byte per call from a buffer in user space: the
// interface of a one-byte read, at a fraction of its cost. Reads the File it
// is given, which must outlive it; does not own it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/files/file.h"

namespace platform::files {

class ByteReader {
 public:
  static constexpr int kEnd = -1;    // no byte left
  static constexpr int kError = -2;  // the read call failed

  explicit ByteReader(File& file, size_t capacity = 64 * 1024);

  // The next byte (0 to 255), kEnd, or kError.
  int Next();

  // Forgets what is buffered, after the descriptor was moved by a seek.
  void Reset();

 private:
  bool Fill();

  File& file_;
  std::vector<unsigned char> buffer_;
  size_t pos_ = 0;
  size_t size_ = 0;
  bool failed_ = false;
  bool ended_ = false;
};

}  // namespace platform::files
