// What every bench prints its timings with: milliseconds of a duration,
// the median of samples, and one line with median, range and goal.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

inline double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "what  median … ms (min …, max …, n=…)", then the goal and whether it was
// missed; a goal of 0 is none.
inline void Report(const char* what, const std::vector<double>& ms, double goal) {
  if (ms.empty()) {
    std::printf("%-52s  no figures\n", what);
    return;
  }
  auto [low, high] = std::minmax_element(ms.begin(), ms.end());
  double median = Median(ms);
  std::printf("%-52s  median %7.2f ms  (min %6.2f, max %7.2f, n=%zu)", what, median, *low, *high, ms.size());
  if (goal > 0)
    std::printf("  goal <= %g ms%s\n", goal, median <= goal ? "" : "  MISSED");
  else
    std::printf("\n");
}

}  // namespace bench
