#include "search/address/key_index.h"

#include <algorithm>  // std::sort
#include <utility>    // std::pair

namespace address {

void KeyIndex::Add(std::string_view key, uint32_t id) {
  entries_.push_back({Hash(key), static_cast<uint32_t>(keys_.size()), static_cast<uint32_t>(key.size()), id});
  keys_.append(key);
  if (deferred_) return;
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
  if (!deferred_ && size != slots_.size()) Grow(size);
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

void KeyIndex::Build() {
  deferred_ = false;
  size_t size = 1024;
  while (size < entries_.size() * 2) size *= 2;
  slots_.assign(size, 0);
  size_t mask = size - 1;
  // Each entry's first slot, in slot order; entries of one key keep the
  // order they were added in.
  std::vector<std::pair<uint32_t, uint32_t>> order(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i)
    order[i] = {static_cast<uint32_t>(entries_[i].hash & mask), static_cast<uint32_t>(i)};
  std::sort(order.begin(), order.end());
  size_t next = 0;  // the first slot not yet taken by this pass
  std::vector<uint32_t> wrapped;
  for (auto [home, entry] : order) {
    size_t slot = std::max<size_t>(home, next);
    if (slot >= size) {
      wrapped.push_back(entry);
      continue;
    }
    slots_[slot] = entry + 1;
    next = slot + 1;
  }
  // Entries pushed past the last slot go on from the first, as a probe does.
  for (uint32_t entry : wrapped) {
    size_t slot = 0;
    while (slots_[slot] != 0) ++slot;
    slots_[slot] = entry + 1;
  }
}

}  // namespace address
