// The time of day and the current time, behind a process-wide seam so that
// a test can decide how long a search takes or which second a marquee
// sees. SystemClock reads the host's clock; FakeClock is set by hand.
// Neither knows what the times are used for.
#pragma once

#include <string>

namespace platform::clock {

class Clock {
 public:
  virtual ~Clock() = default;

  // The local time of day as eight characters "hh:mm:ss" (24-hour clock).
  virtual std::string TimeOfDay() = 0;

  // The current time in whole seconds since the epoch.
  virtual long long Now() = 0;
};

// The host's clock.
Clock& SystemClock();

// A clock that stands still until it is set or advanced. Each reading can
// move it on by a fixed step, so that "start" and "end" readings lie a
// chosen number of seconds apart.
class FakeClock : public Clock {
 public:
  // Starts at 00:00:00 of the epoch's day, with no step.
  FakeClock() = default;

  // Sets the time of day, keeping the day.
  void SetTimeOfDay(int hours, int minutes, int seconds);

  void Advance(long long seconds) { now_ += seconds; }

  // Seconds added after every reading of TimeOfDay or Now.
  void SetStepPerReading(long long seconds) { step_ = seconds; }

  std::string TimeOfDay() override;
  long long Now() override;

 private:
  long long now_ = 0;
  long long step_ = 0;
};

// The clock in force (a seam, see seam.h): nullptr means SystemClock().
Clock*& ClockInForce();

// Readings of the clock in force.
std::string TimeOfDay();
long long Now();

}  // namespace platform::clock
