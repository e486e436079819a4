// The process-wide source of uniform random values that every draw takes from.
#pragma once

#include <array>
#include <cstdint>

namespace tallowby {

// Anything that yields uniform values 0 <= u < 1. The draws are templates over it, so tests can
// script exact values while the run keeps a fast, inlined generator.
class UniformSource {
 public:
  virtual ~UniformSource() = default;
  virtual double NextUniform() = 0;
  // Re-seeds from the time of day in seconds since midnight.
  virtual void SeedFromClock(float seconds_since_midnight) = 0;
};

// xoshiro256** (Blackman and Vigna), written here from the published algorithm: 256 bits of
// state, period 2^256 - 1, and 53-bit uniform doubles from the top bits of each output.
class RandomSource final : public UniformSource {
 public:
  // Seeded from operating-system entropy alone.
  RandomSource();
  // Fixed seed, for reproducible benchmarks and tests.
  explicit RandomSource(std::uint64_t seed) { Seed(seed); }

  double NextUniform() override { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }

  // The clock value goes into the seed together with fresh operating-system entropy, so two
  // seeds taken within the same clock tick still give different sequences.
  void SeedFromClock(float seconds_since_midnight) override;

  void Seed(std::uint64_t seed);

  std::uint64_t NextBits() {
    const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
  }

 private:
  static std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  std::array<std::uint64_t, 4> state_{};
};

// The one generator shared by start-up and the generation run.
RandomSource& ProcessRandomSource();

// The local time of day in seconds since midnight, fractions included.
float SecondsSinceMidnight();

// 64 bits from the operating system's entropy source.
std::uint64_t OperatingSystemEntropy();

}  // namespace tallowby
