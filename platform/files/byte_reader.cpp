#include "platform/files/byte_reader.h"

#include "platform/files/file.h"

namespace platform::files {

ByteReader::ByteReader(int fd, size_t capacity) : fd_(fd), buffer_(capacity) {}

bool ByteReader::Fill() {
  if (ended_ || failed_) return false;
  long n = Read(fd_, buffer_.data(), buffer_.size());
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

bool ByteReader::AtEnd() {
  if (pos_ < size_) return false;
  return !Fill();
}

void ByteReader::Reset() {
  pos_ = size_ = 0;
  failed_ = ended_ = false;
}

}  // namespace platform::files
