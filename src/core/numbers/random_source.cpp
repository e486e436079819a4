#include "core/numbers/random_source.h"

#include <bit>
#include <chrono>
#include <ctime>
#include <random>

namespace tallowby {

namespace {

// SplitMix64 spreads one 64-bit seed over xoshiro's four words, as its authors recommend; it never
// yields the all-zero state that would stall the generator.
std::uint64_t SplitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

RandomSource::RandomSource() {
  Seed(OperatingSystemEntropy());
}

void RandomSource::Seed(std::uint64_t seed) {
  for (auto& word : state_)
    word = SplitMix64(seed);
}

void RandomSource::SeedFromClock(float seconds_since_midnight) {
  const std::uint64_t clock_bits = std::bit_cast<std::uint32_t>(seconds_since_midnight);
  Seed((clock_bits << 32 | clock_bits) ^ OperatingSystemEntropy());
}

RandomSource& ProcessRandomSource() {
  static RandomSource source;
  return source;
}

float SecondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const auto fraction = duration<double>(now - system_clock::from_time_t(seconds)).count();
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

std::uint64_t OperatingSystemEntropy() {
  // std::random_device reads getrandom() on Linux and RtlGenRandom on Windows with libstdc++.
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

}  // namespace tallowby
