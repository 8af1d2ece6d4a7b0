#include "tools/qgrep/search_budget.h"

#include <gtest/gtest.h>

using qgrep::SearchBudget;

// A clock that the test moves: the budget must read it rarely, widen with
// the text looked at, and stay spent once spent.
TEST(SearchBudget, TheAllowanceGrowsWithTheTextAndIsSpentOnce) {
  double now = 0;
  int readings = 0;
  SearchBudget budget({1.0, 1e-6}, [&] {
    ++readings;
    return now;
  });
  const uint64_t reading = SearchBudget::kUnitsPerReading;
  now = 5;  // five seconds gone, one allowed: unseen until enough units gather
  EXPECT_TRUE(budget.Spend(reading - 1));
  EXPECT_EQ(readings, 1);     // the start only
  budget.AddText(5'000'000);  // five seconds more
  EXPECT_TRUE(budget.Spend(1));
  EXPECT_EQ(readings, 2);
  now = 6.5;
  EXPECT_FALSE(budget.Spend(reading));
  budget.AddText(100'000'000);
  EXPECT_FALSE(budget.Spend(reading));
  EXPECT_TRUE(budget.IsSpent());
  EXPECT_EQ(readings, 3);
}
