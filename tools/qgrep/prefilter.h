// A first look at the raw CP932 bytes, before any line is decoded. From the
// literal terms of a pattern it picks a few byte strings ("needles") of
// which the raw form of every matching line holds at least one: the CP932
// spellings of a stretch of one term. Lines without any need not be folded
// at all. It never decides a match: a line it finds is still folded and
// given to the pattern.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qgrep {

class Prefilter {
 public:
  // At most this many needles, and among them at most this many distinct
  // starts (a byte, or two): each start is one comparison per block.
  static constexpr size_t kMaxNeedles = 64;
  static constexpr size_t kMaxStarts = 16;

  // The prefilter for folded literal terms; nothing when there are none.
  // With no needles at all, no line can match (a term holds a character
  // that no CP932 text folds to).
  static std::optional<Prefilter> Choose(const std::vector<std::string>& foldedLiterals);

  explicit Prefilter(std::vector<std::string> needles);

  // The offset of the first place in text[0, n) where a needle starts, or
  // n when there is none.
  size_t Find(const char* text, size_t n) const;

  const std::vector<std::string>& Needles() const { return needles_; }

  // The distinct starts of the needles.
  size_t Starts() const { return singles_.size() + pairs_.size(); }

 private:
  bool NeedleAt(const char* text, size_t n, size_t at) const;
  // Search whole blocks from i on, leaving i where the blocks end: the
  // place of a needle, or n.
  size_t FindWide(const char* text, size_t n, size_t& i) const;
  size_t FindNarrow(const char* text, size_t n, size_t& i) const;

  std::vector<std::string> needles_;  // sorted, in byte order
  // What a needle starts with: a byte alone (for one-byte needles), or two.
  std::vector<unsigned char> singles_;
  std::vector<std::pair<unsigned char, unsigned char>> pairs_;
  bool first_[256] = {};
};

}  // namespace qgrep
