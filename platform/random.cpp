#include "platform/random.h"

#include <cstdlib>  // std::srand, std::rand

namespace platform::random {
namespace {

class Runtime : public Generator {
 public:
  void Seed(unsigned seed) override { std::srand(seed); }
  int Draw() override { return std::rand(); }
};

Generator& InForce() { return GeneratorInForce() != nullptr ? *GeneratorInForce() : RuntimeGenerator(); }

}  // namespace

Generator& RuntimeGenerator() {
  static Runtime generator;
  return generator;
}

const std::vector<int>& FakeGenerator::Current() const {
  auto it = draws_.find(seed_);
  return it != draws_.end() && !it->second.empty() ? it->second : defaultDraws_;
}

void FakeGenerator::Seed(unsigned seed) {
  seeds.push_back(seed);
  seed_ = seed;
  next_ = 0;
}

int FakeGenerator::Draw() {
  const std::vector<int>& draws = Current();
  if (draws.empty()) return 0;
  return draws[next_++ % draws.size()];
}

Generator*& GeneratorInForce() {
  static Generator* generator = nullptr;
  return generator;
}

void Seed(unsigned seed) { InForce().Seed(seed); }

int Draw() { return InForce().Draw(); }

}  // namespace platform::random
