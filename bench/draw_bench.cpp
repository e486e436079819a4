// Draws per second for each kind of number, and the prime test against trial division.
#include <benchmark/benchmark.h>

#include "core/numbers/number_kinds.h"
#include "core/numbers/primality.h"
#include "core/numbers/random_source.h"

namespace tallowby {
namespace {

void BM_Draw(benchmark::State& state) {
  const auto kind = static_cast<NumberKind>(state.range(0));
  const auto highest = static_cast<std::int32_t>(state.range(1));
  RandomSource source(1);
  for (auto _ : state)
    benchmark::DoNotOptimize(DrawNumberOfKind(source, kind, highest));
  state.SetItemsProcessed(state.iterations());
  constexpr const char* kNames[] = {"All numbers", "Even", "Odd", "Prime only"};
  state.SetLabel(kNames[static_cast<int>(kind)]);
}
BENCHMARK(BM_Draw)->ArgsProduct({{0, 1, 2, 3}, {100000, 2000000000}});

// The prime-only draw as it would be with the classic test by division, for comparison.
std::int32_t DrawPrimeByTrialDivision(RandomSource& source, std::int32_t highest) {
  std::int32_t n = 0;
  while (!IsPrimeByTrialDivision(n))
    n = DrawNumber(source, highest);
  return n;
}

// 100,000 primes at H = 2,000,000,000, as "Prime only" draws them, with each test.
void BM_HundredThousandPrimes(benchmark::State& state) {
  const bool fast = state.range(0) == 1;
  for (auto _ : state) {
    RandomSource source(2);  // the same candidates for both tests
    for (int i = 0; i < 100'000; ++i) {
      benchmark::DoNotOptimize(fast ? DrawPrimeNumber(source, 2000000000)
                                    : DrawPrimeByTrialDivision(source, 2000000000));
    }
  }
  state.SetLabel(fast ? "Miller-Rabin" : "trial division");
}
BENCHMARK(BM_HundredThousandPrimes)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tallowby
