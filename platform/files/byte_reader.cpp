#include "platform/files/byte_reader.h"

#include "platform/files/file.h"

namespace platform::files {

ByteReader::ByteReader(File& file, size_t capacity) : file_(file), buffer_(capacity) {}

bool ByteReader::Fill() {
  if (ended_ || failed_) return false;
  long n = file_.Read(buffer_.data(), buffer_.size());
  if (n < 0) {
    failed_ = true;
    return false;
  }
  if (n == 0) {
    ended_ = true;
    return false;
  }
  pos_ = 0;
  size_ = static_cast<size_t>(n);
  return true;
}

int ByteReader::Next() {
  if (pos_ == size_ && !Fill()) return failed_ ? kError : kEnd;
  return buffer_[pos_++];
}

void ByteReader::Reset() {
  pos_ = size_ = 0;
  failed_ = ended_ = false;
}

}  // namespace platform::files
