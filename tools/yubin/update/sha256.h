// SHA-256 of a byte stream fed in pieces, for the record of where a
// workspace's files came from. Does not read files itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yubin::update {

class Sha256 {
 public:
  Sha256();
  void Add(std::string_view bytes);
  // The digest in lower-case hex. Ends the stream: call once.
  std::string Hex();

 private:
  void Block(const unsigned char* block);

  uint32_t state_[8];
  unsigned char buffer_[64];
  size_t buffered_ = 0;
  uint64_t length_ = 0;
};

}  // namespace yubin::update
