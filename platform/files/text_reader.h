// Serves an open file one character per call as a text-mode read gives it:
// a CR LF pair is one line feed; every other byte, a CR on its own
// included, is itself. Built on ByteReader, so a pair that a buffer refill
// splits is still one character. Reads the File it is given, which must
// outlive it; does not own it. Writing in text mode is not offered: the
// programs write binary only.
#pragma once

#include "platform/files/byte_reader.h"
#include "platform/files/file.h"

namespace platform::files {

class TextReader {
 public:
  static constexpr int kEnd = ByteReader::kEnd;
  static constexpr int kError = ByteReader::kError;

  explicit TextReader(File& file, size_t capacity = 64 * 1024) : bytes_(file, capacity) {}

  // The next character (0 to 255, LF for CR LF), kEnd, or kError.
  int Next();

 private:
  ByteReader bytes_;
  bool held_ = false;  // the byte after a lone CR, read ahead
  int heldByte_ = 0;
};

}  // namespace platform::files
