#include "tools/qgrep/search_budget.h"

#include <time.h>  // clock_gettime

#include <utility>

namespace qgrep {

SearchBudget::SearchBudget(Limits limits, Clock clock) : limits_(limits), clock_(std::move(clock)), start_(clock_()) {}

double SearchBudget::ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool SearchBudget::Spend(uint64_t units) {
  if (spent_) return false;
  sinceReading_ += units;
  if (sinceReading_ < kUnitsPerReading) return true;
  sinceReading_ = 0;
  double allowed = limits_.fixedSeconds + limits_.secondsPerByte * static_cast<double>(bytes_);
  spent_ = clock_() - start_ > allowed;
  return !spent_;
}

}  // namespace qgrep
