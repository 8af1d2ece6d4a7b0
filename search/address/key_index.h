// A hash index from keys to ids that keeps each key in one block of text:
// the address table holds a few hundred thousand keys, and a string and a
// node for each would cost more memory and load time than the table
// itself. A key may be added more than once, with the same or other ids;
// adding never compares keys, so a load touches each slot once. Does not
// know what the ids name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace address {

class KeyIndex {
 public:
  void Add(std::string_view key, uint32_t id);

  // Makes room for `keys` more keys at once, rather than growing by steps.
  void Reserve(size_t keys);

  // For a load of many keys: Defer() makes Add only keep the key, and
  // Build() places all kept keys at once in the order of their slots, so
  // that the slots are written from first to last rather than at random
  // (a random write per key is most of a load's time). Until Build(),
  // ForEach finds none of them.
  void Defer() { deferred_ = true; }
  void Build();

  // Calls f(id) for each time `key` was added, in the order added.
  template <typename F>
  void ForEach(std::string_view key, F f) const {
    if (slots_.empty()) return;
    uint64_t hash = Hash(key);
    size_t mask = slots_.size() - 1;
    for (size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
      const Entry& entry = entries_[slots_[slot] - 1];
      if (entry.hash == hash && std::string_view(keys_).substr(entry.keyAt, entry.keyLength) == key) f(entry.id);
    }
  }

  bool Contains(std::string_view key) const {
    bool found = false;
    ForEach(key, [&](uint32_t) { found = true; });
    return found;
  }

 private:
  struct Entry {
    uint64_t hash;
    uint32_t keyAt;
    uint32_t keyLength;
    uint32_t id;
  };

  static uint64_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }
  void Place(uint32_t entry);
  void Grow(size_t slots);

  std::string keys_;
  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_;  // entry index + 1; 0 is free
  bool deferred_ = false;
};

}  // namespace address
