#include "tools/qgrep/prefilter.h"

#include <algorithm>
#include <cstring>  // std::memcmp
#include <map>
#include <string_view>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "tools/qgrep/fold.h"

namespace qgrep {
namespace {

struct Window {
  size_t minLength = 0;  // of the shortest needle
  size_t count = 0;      // needles
};

// Better: a longer shortest needle (fewer chance hits), then fewer needles.
bool Better(const Window& a, const Window& b) {
  if (a.minLength != b.minLength) return a.minLength > b.minLength;
  return a.count < b.count;
}

std::vector<std::string> Product(const std::vector<const std::vector<std::string>*>& choices) {
  std::vector<std::string> out{std::string()};
  for (const auto* forms : choices) {
    std::vector<std::string> next;
    for (const std::string& head : out)
      for (const std::string& form : *forms) next.push_back(head + form);
    out = std::move(next);
  }
  return out;
}

}  // namespace

std::optional<Prefilter> Prefilter::Choose(const std::vector<std::string>& foldedLiterals) {
  if (foldedLiterals.empty()) return std::nullopt;
  std::map<char32_t, std::vector<std::string>> forms;
  std::optional<Window> best;
  std::optional<Prefilter> chosen;
  for (const std::string& literal : foldedLiterals) {
    std::u32string term = DecodeUtf8(literal);
    for (char32_t c : term) {
      if (!forms.count(c)) forms[c] = RawForms(c);
      if (forms[c].empty()) return Prefilter({});  // this term can never match
    }
    for (size_t i = 0; i < term.size(); ++i) {
      Window w;
      w.count = 1;
      std::vector<const std::vector<std::string>*> choices;
      for (size_t j = i; j < term.size(); ++j) {
        const std::vector<std::string>& f = forms[term[j]];
        if (w.count * f.size() > kMaxNeedles) break;
        w.count *= f.size();
        size_t shortest = f[0].size();
        for (const std::string& s : f) shortest = std::min(shortest, s.size());
        w.minLength += shortest;
        choices.push_back(&f);
        if (!best || Better(w, *best)) {
          Prefilter candidate(Product(choices));
          if (candidate.Starts() > kMaxStarts) continue;
          best = w;
          chosen = std::move(candidate);
        }
      }
    }
  }
  return chosen;  // nothing when every character has too many forms
}

Prefilter::Prefilter(std::vector<std::string> needles) : needles_(std::move(needles)) {
  std::sort(needles_.begin(), needles_.end());
  needles_.erase(std::unique(needles_.begin(), needles_.end()), needles_.end());
  for (const std::string& needle : needles_) {
    auto b0 = static_cast<unsigned char>(needle[0]);
    first_[b0] = true;
    if (needle.size() == 1) singles_.push_back(b0);
  }
  for (const std::string& needle : needles_) {
    auto b0 = static_cast<unsigned char>(needle[0]);
    if (needle.size() == 1 || std::count(singles_.begin(), singles_.end(), b0)) continue;
    pairs_.emplace_back(b0, static_cast<unsigned char>(needle[1]));
  }
  std::sort(pairs_.begin(), pairs_.end());
  pairs_.erase(std::unique(pairs_.begin(), pairs_.end()), pairs_.end());
}

bool Prefilter::NeedleAt(const char* text, size_t n, size_t at) const {
  // One-byte needles sort first among those with their byte; the others
  // sharing the first two bytes at `at` sit together.
  size_t left = n - at;
  std::string_view start(text + at, std::min<size_t>(left, 2));
  auto it = std::lower_bound(needles_.begin(), needles_.end(), start.substr(0, 1));
  if (it != needles_.end() && *it == start.substr(0, 1)) return true;
  if (start.size() < 2) return false;
  for (it = std::lower_bound(it, needles_.end(), start); it != needles_.end() && it->compare(0, 2, start) == 0; ++it)
    if (it->size() <= left && std::memcmp(text + at, it->data(), it->size()) == 0) return true;
  return false;
}

#if defined(__x86_64__)
// Thirty-two places at a time where the processor can: a place is a
// candidate when its byte is a one-byte needle, or its byte and the next
// begin a longer one. Returns where the blocks ended, or the hit.
__attribute__((target("avx2"))) size_t Prefilter::FindWide(const char* text, size_t n, size_t& i) const {
  __m256i singles[kMaxNeedles], firsts[kMaxNeedles], seconds[kMaxNeedles];
  const size_t ns = singles_.size(), np = pairs_.size();
  for (size_t k = 0; k < ns; ++k) singles[k] = _mm256_set1_epi8(static_cast<char>(singles_[k]));
  for (size_t k = 0; k < np; ++k) {
    firsts[k] = _mm256_set1_epi8(static_cast<char>(pairs_[k].first));
    seconds[k] = _mm256_set1_epi8(static_cast<char>(pairs_[k].second));
  }
  for (; i + 33 <= n; i += 32) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + 1));
    __m256i hit = _mm256_setzero_si256();
    for (size_t k = 0; k < ns; ++k) hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(a, singles[k]));
    for (size_t k = 0; k < np; ++k)
      hit = _mm256_or_si256(hit, _mm256_and_si256(_mm256_cmpeq_epi8(a, firsts[k]), _mm256_cmpeq_epi8(b, seconds[k])));
    auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit));
    while (mask) {
      size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (NeedleAt(text, n, at)) return at;
      mask &= mask - 1;
    }
  }
  return n;
}

// The same sixteen places at a time, with what every x86-64 processor has.
size_t Prefilter::FindNarrow(const char* text, size_t n, size_t& i) const {
  __m128i singles[kMaxNeedles], firsts[kMaxNeedles], seconds[kMaxNeedles];
  const size_t ns = singles_.size(), np = pairs_.size();
  for (size_t k = 0; k < ns; ++k) singles[k] = _mm_set1_epi8(static_cast<char>(singles_[k]));
  for (size_t k = 0; k < np; ++k) {
    firsts[k] = _mm_set1_epi8(static_cast<char>(pairs_[k].first));
    seconds[k] = _mm_set1_epi8(static_cast<char>(pairs_[k].second));
  }
  for (; i + 17 <= n; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
    __m128i hit = _mm_setzero_si128();
    for (size_t k = 0; k < ns; ++k) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(a, singles[k]));
    for (size_t k = 0; k < np; ++k)
      hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(a, firsts[k]), _mm_cmpeq_epi8(b, seconds[k])));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    while (mask) {
      size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (NeedleAt(text, n, at)) return at;
      mask &= mask - 1;
    }
  }
  return n;
}
#endif

size_t Prefilter::Find(const char* text, size_t n) const {
  if (needles_.empty()) return n;
  size_t i = 0;
#if defined(__x86_64__)
  static const bool wide = __builtin_cpu_supports("avx2");
  size_t hit = wide ? FindWide(text, n, i) : FindNarrow(text, n, i);
  if (hit < n) return hit;
#endif
  for (; i < n; ++i)
    if (first_[static_cast<unsigned char>(text[i])] && NeedleAt(text, n, i)) return i;
  return n;
}

}  // namespace qgrep
