// Bounds the time one search may spend matching, over all its lines and
// files: a fixed allowance plus a share for every byte of the files to
// search, in processor time of the process, so that a loaded machine does not
// cut a search short. The matchers report their work in units (roughly a
// nanosecond each); the clock is read only when enough units have gathered
// since the last reading. Knows nothing of patterns or files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace qgrep {

// The allowance: fixed, and for every byte of text looked at.
struct BudgetLimits {
  double fixedSeconds = 0.25;
  double secondsPerByte = 25e-9;
};

class SearchBudget {
 public:
  using Limits = BudgetLimits;
  // Seconds of processor time, from any starting point.
  using Clock = std::function<double()>;

  // The clock is read once every this many units.
  static constexpr uint64_t kUnitsPerReading = 1 << 20;

  explicit SearchBudget(Limits limits = {}, Clock clock = ProcessSeconds);

  // Widens the allowance by the share of `bytes` more bytes to search: a
  // whole file's, before its first line, so that the allowance is there
  // for wherever in the file the costly lines are.
  void AddText(size_t bytes) { bytes_ += bytes; }

  // Records `units` of work. False once the allowance is spent; it stays
  // spent.
  bool Spend(uint64_t units);

  bool IsSpent() const { return spent_; }

  static double ProcessSeconds();

 private:
  Limits limits_;
  Clock clock_;
  double start_;
  uint64_t bytes_ = 0;
  uint64_t sinceReading_ = 0;
  bool spent_ = false;
};

}  // namespace qgrep
