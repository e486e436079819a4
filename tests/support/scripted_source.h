// A uniform source that returns a fixed script of values, so a test can say exactly which
// product each draw rounds.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "core/numbers/random_source.h"

namespace tallowby::testing {

class ScriptedSource final : public UniformSource {
 public:
  explicit ScriptedSource(std::vector<double> values) : values_(std::move(values)) {}

  double NextUniform() override {
    if (next_ == values_.size()) throw std::out_of_range("script exhausted");
    return values_[next_++];
  }
  void SeedFromClock(float seconds) override {
    ++seeds_;
    last_seed_clock_ = seconds;
  }

  std::size_t Used() const { return next_; }
  int Seeds() const { return seeds_; }
  float LastSeedClock() const { return last_seed_clock_; }

 private:
  std::vector<double> values_;
  std::size_t next_ = 0;
  int seeds_ = 0;
  float last_seed_clock_ = -1;
};

}  // namespace tallowby::testing
