// Serves an open descriptor one byte per call from a buffer in user space:
// the interface of a one-byte read, at a fraction of its cost. Does not own
// the descriptor.
#pragma once

#include <cstddef>
#include <vector>

namespace platform::files {

class ByteReader {
 public:
  static constexpr int kEnd = -1;    // no byte left
  static constexpr int kError = -2;  // the read call failed

  explicit ByteReader(int fd, size_t capacity = 64 * 1024);

  // The next byte (0 to 255), kEnd, or kError.
  int Next();

  // True when no byte is left: the buffer is used up and the file is at its
  // end. May read ahead to tell.
  bool AtEnd();

  // Forgets what is buffered, after the descriptor was moved by a seek.
  void Reset();

 private:
  bool Fill();

  int fd_;
  std::vector<unsigned char> buffer_;
  size_t pos_ = 0;
  size_t size_ = 0;
  bool failed_ = false;
  bool ended_ = false;
};

}  // namespace platform::files
