#include "platform/clock.h"

#include <cstdio>  // std::snprintf
#include <ctime>   // std::time, localtime_r

namespace platform::clock {
namespace {

std::string FormatTimeOfDay(int hours, int minutes, int seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hours, minutes, seconds);
  return text;
}

class HostClock : public Clock {
 public:
  std::string TimeOfDay() override {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatTimeOfDay(local.tm_hour, local.tm_min, local.tm_sec);
  }

  long long Now() override { return static_cast<long long>(std::time(nullptr)); }
};

}  // namespace

Clock& SystemClock() {
  static HostClock clock;
  return clock;
}

Clock*& ClockInForce() {
  static Clock* clock = nullptr;
  return clock;
}

std::string TimeOfDay() { return ClockInForce() != nullptr ? ClockInForce()->TimeOfDay() : SystemClock().TimeOfDay(); }

long long Now() { return ClockInForce() != nullptr ? ClockInForce()->Now() : SystemClock().Now(); }

void FakeClock::SetTimeOfDay(int hours, int minutes, int seconds) {
  long long day = now_ - ((now_ % 86400) + 86400) % 86400;
  now_ = day + hours * 3600LL + minutes * 60LL + seconds;
}

std::string FakeClock::TimeOfDay() {
  long long second = ((now_ % 86400) + 86400) % 86400;
  now_ += step_;
  return FormatTimeOfDay(static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                         static_cast<int>(second % 60));
}

long long FakeClock::Now() {
  long long now = now_;
  now_ += step_;
  return now;
}

}  // namespace platform::clock
