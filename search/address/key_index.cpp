#include "search/address/key_index.h"

namespace address {

void KeyIndex::Add(std::string_view key, uint32_t id) {
  entries_.push_back({Hash(key), static_cast<uint32_t>(keys_.size()), static_cast<uint32_t>(key.size()), id});
  keys_.append(key);
  if (entries_.size() * 2 > slots_.size()) {
    Grow(slots_.empty() ? 1024 : slots_.size() * 2);
  } else {
    Place(static_cast<uint32_t>(entries_.size() - 1));
  }
}

void KeyIndex::Reserve(size_t keys) {
  size_t wanted = (entries_.size() + keys) * 2;
  size_t size = slots_.empty() ? 1024 : slots_.size();
  while (size < wanted) size *= 2;
  entries_.reserve(entries_.size() + keys);
  keys_.reserve(keys_.size() + keys * 16);
  if (size != slots_.size()) Grow(size);
}

// Entries are placed in the order added, so that the ones of one key lie
// along its probe sequence in that order.
void KeyIndex::Place(uint32_t entry) {
  size_t mask = slots_.size() - 1;
  size_t slot = entries_[entry].hash & mask;
  while (slots_[slot] != 0) slot = (slot + 1) & mask;
  slots_[slot] = entry + 1;
}

void KeyIndex::Grow(size_t size) {
  slots_.assign(size, 0);
  for (size_t i = 0; i < entries_.size(); ++i) Place(static_cast<uint32_t>(i));
}

}  // namespace address
