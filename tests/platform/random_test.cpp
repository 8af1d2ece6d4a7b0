#include "platform/random.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/seam.h"

namespace platform::random {
namespace {

std::vector<int> FiveDraws() {
  std::vector<int> draws;
  for (int i = 0; i < 5; ++i) draws.push_back(Draw());
  return draws;
}

TEST(RuntimeGenerator, TheSameSeedGivesTheSameSequence) {
  Seed(1998);
  std::vector<int> first = FiveDraws();
  Seed(1999);
  std::vector<int> other = FiveDraws();
  Seed(1998);
  EXPECT_EQ(FiveDraws(), first);
  EXPECT_NE(other, first);
  for (int draw : first) EXPECT_GE(draw, 0);
}

TEST(FakeGenerator, EachSeedStartsItsOwnDrawsAndTheyGoRound) {
  FakeGenerator fake;
  fake.SetDraws(100, {40, 7});
  fake.SetDefaultDraws({3});
  ScopedOverride useFake(GeneratorInForce(), &fake);
  Seed(100);
  EXPECT_EQ(FiveDraws(), (std::vector<int>{40, 7, 40, 7, 40}));
  Seed(5);
  EXPECT_EQ(Draw(), 3);
  Seed(100);
  EXPECT_EQ(Draw(), 40);
  EXPECT_EQ(fake.seeds, (std::vector<unsigned>{100, 5, 100}));
}

}  // namespace
}  // namespace platform::random
