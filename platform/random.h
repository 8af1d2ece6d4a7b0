// A seeded pseudo-random generator behind a process-wide seam: seed it with
// a number, then draw. The host's generator is the C runtime's; a test puts
// a FakeGenerator in force to fix the draws. Knows nothing of what the
// numbers pick.
#pragma once

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

namespace platform::random {

class Generator {
 public:
  virtual ~Generator() = default;
  // Starts the sequence that belongs to `seed`.
  virtual void Seed(unsigned seed) = 0;
  // The next number of the sequence, 0 or more.
  virtual int Draw() = 0;
};

// The C runtime's generator (srand and rand).
Generator& RuntimeGenerator();

// Hands out fixed draws: after Seed(s), the draws given for s in order and
// round again; a seed without draws of its own gives the default draws
// (0 unless set). Every seed is noted.
class FakeGenerator : public Generator {
 public:
  void SetDraws(unsigned seed, std::vector<int> draws) { draws_[seed] = std::move(draws); }
  void SetDefaultDraws(std::vector<int> draws) { defaultDraws_ = std::move(draws); }

  void Seed(unsigned seed) override;
  int Draw() override;

  std::vector<unsigned> seeds;

 private:
  const std::vector<int>& Current() const;

  std::map<unsigned, std::vector<int>> draws_;
  std::vector<int> defaultDraws_{0};
  unsigned seed_ = 1;
  std::size_t next_ = 0;
};

// The generator in force (a seam, see seam.h): nullptr means
// RuntimeGenerator().
Generator*& GeneratorInForce();

// Seeds and draws from the generator in force.
void Seed(unsigned seed);
int Draw();

}  // namespace platform::random
