// LibreOffice Calc: how long the office takes to start, and a whole sheet written in bulk against
// the same numbers written one cell per call.
//
// Runs a real, headless office with a profile of its own, and ends it before leaving.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "calc/calc_launcher.h"
#include "calc/office_connection.h"
#include "core/numbers/random_source.h"

namespace tallowby::calc {
namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

constexpr std::int32_t kCellByCellRows = 10'000;

const fs::path& BenchFolder() {
  static const fs::path folder =
      fs::temp_directory_path() / ("tallowby-calc-bench-" + std::to_string(::getpid()));
  return folder;
}

CalcOptions Options(const std::string& profile, const std::string& pipe) {
  CalcOptions options;
  options.extra_arguments = {"--headless",
                             "-env:UserInstallation=file://" + (BenchFolder() / profile).string()};
  options.pipe_name = pipe;
  return options;
}

std::vector<std::int32_t> Numbers(std::size_t count) {
  RandomSource random(1);
  std::vector<std::int32_t> numbers(count);
  for (std::int32_t& number : numbers) {
    number = static_cast<std::int32_t>(random.NextBits() % 2'000'001) - 1'000'000;
  }
  return numbers;
}

// Starting the office until it answers; the first start of a profile also writes the profile.
void BM_StartOffice(benchmark::State& state) {
  const bool new_profile = state.range(0) == 0;
  const std::string pipe = "tallowby_bench_start_" + std::to_string(::getpid());
  // Ending the application before it showed anything ends the office it started.
  if (!new_profile) CreateCalcLauncher(Options("reused", pipe))->StartHidden().reset();
  int run = 0;
  for (auto _ : state) {
    const std::string profile = new_profile ? "new-" + std::to_string(run++) : "reused";
    std::unique_ptr<SpreadsheetApplication> application =
        CreateCalcLauncher(Options(profile, pipe))->StartHidden();
    state.PauseTiming();
    application.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartOffice)
    ->ArgName("reused_profile")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One office for the writing benchmarks, started once.
struct Office {
  std::string pipe = "tallowby_bench_" + std::to_string(::getpid());
  std::unique_ptr<SpreadsheetApplication> application =
      CreateCalcLauncher(Options("writing", pipe))->StartHidden();
};

std::unique_ptr<Office> shared_office;

Office& SharedOffice() {
  if (!shared_office) shared_office = std::make_unique<Office>();
  return *shared_office;
}

void BM_WriteSheetInBulk(benchmark::State& state) {
  SpreadsheetApplication& application = *SharedOffice().application;
  const std::vector<std::int32_t> numbers = Numbers(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    application.AddWorkbook();
    state.ResumeTiming();
    application.WriteFirstColumn(numbers, 1);
  }
  state.counters["per_row"] = benchmark::Counter(
      static_cast<double>(numbers.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WriteSheetInBulk)
    ->Arg(kCellByCellRows)
    ->Arg(static_cast<std::int64_t>(kSheetRowLimit))
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The reference: one call per cell, through a connection of its own to the same office.
void BM_WriteCellByCell(benchmark::State& state) {
  const std::string pipe = SharedOffice().pipe;
  OfficeConnection connection(std::chrono::seconds(60));
  while (!connection.TryConnect(pipe))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto desktop = connection.Desktop();
  const std::vector<std::int32_t> numbers = Numbers(kCellByCellRows);
  for (auto _ : state) {
    state.PauseTiming();
    const auto document = connection.Call("bench", [desktop] {
      css::uno::Sequence<css::beans::PropertyValue> arguments(1);
      arguments.getArray()[0].Name = "Hidden";
      arguments.getArray()[0].Value <<= true;
      return Reference<css::sheet::XSpreadsheetDocument>(
          desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, arguments),
          UNO_QUERY_THROW);
    });
    state.ResumeTiming();
    connection.Call("bench", [document, numbers] {
      const Reference<css::container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
      const Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
      for (std::size_t row = 0; row < numbers.size(); ++row) {
        sheet->getCellByPosition(0, static_cast<sal_Int32>(row))->setValue(numbers[row]);
      }
    });
    state.PauseTiming();
    // Left open, it would keep the office from ending with the bulk benchmark's application.
    connection.Call("bench", [document] {
      Reference<css::util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
    });
    state.ResumeTiming();
  }
  state.counters["per_row"] = benchmark::Counter(
      static_cast<double>(kCellByCellRows) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WriteCellByCell)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tallowby::calc

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Ends the writing office (its workbooks were never shown) and removes the profiles.
  tallowby::calc::shared_office.reset();
  std::error_code ignored;
  std::filesystem::remove_all(tallowby::calc::BenchFolder(), ignored);
  return 0;
}
