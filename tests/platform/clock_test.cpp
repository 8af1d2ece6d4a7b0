#include "platform/clock.h"

#include <gtest/gtest.h>

#include <regex>

namespace platform::clock {
namespace {

TEST(SystemClock, TimeOfDayIsEightCharacters) {
  EXPECT_TRUE(std::regex_match(SystemClock().TimeOfDay(), std::regex("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]")));
  EXPECT_GT(SystemClock().Now(), 1600000000);
}

TEST(FakeClock, StandsStillUntilSetOrAdvanced) {
  FakeClock clock;
  EXPECT_EQ(clock.TimeOfDay(), "00:00:00");
  clock.SetTimeOfDay(10, 15, 0);
  EXPECT_EQ(clock.TimeOfDay(), "10:15:00");
  EXPECT_EQ(clock.TimeOfDay(), "10:15:00");
  clock.Advance(3600 + 61);
  EXPECT_EQ(clock.TimeOfDay(), "11:16:01");
}

TEST(FakeClock, EachReadingMovesOnByTheStep) {
  FakeClock clock;
  clock.SetTimeOfDay(23, 59, 50);
  clock.SetStepPerReading(15);
  EXPECT_EQ(clock.TimeOfDay(), "23:59:50");
  EXPECT_EQ(clock.TimeOfDay(), "00:00:05") << "the day wraps at midnight";
  long long now = clock.Now();
  EXPECT_EQ(clock.Now(), now + 15);
  clock.SetTimeOfDay(8, 0, 0);
  EXPECT_EQ(clock.TimeOfDay(), "08:00:00") << "setting keeps the day and takes the time";
}

}  // namespace
}  // namespace platform::clock
