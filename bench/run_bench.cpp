// The whole "Start Generating" run into a text file, against GNU shuf writing as many numbers,
// with the run's peak memory against the size of the text it wrote.
//
// Each measurement runs in a child process, so its peak resident memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "core/run/generation_run.h"
#include "platform/posix/native_file_system.h"
#include "support/recording_view.h"

namespace tallowby {
namespace {

struct Measurement {
  double seconds = 0;
  double peak_megabytes = 0;
};

Measurement InChild(const std::function<int()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) _exit(work());
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "a measured step failed\n");
    std::exit(1);
  }
  return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss / 1024.0};
}

// The whole run in a child of its own. `progress` false keeps the bar still, to measure what
// moving it costs; `run` false only sets up, for the memory of the idle program.
Measurement Run(const std::string& count, const std::string& highest, NumberKind kind,
                const std::string& folder, bool progress = true, bool run = true) {
  return InChild([&] {
    // The window's part, without a window: fixed fields, and every box but "Done." printed.
    testing::RecordedWindow window;
    window.view.count = count;
    window.view.highest = highest;
    window.view.kind = kind;
    window.view.folder = folder;
    NativeFileSystem files;
    GenerationRun generation(window.host, ProcessRandomSource(), files, nullptr);
    if (!progress) generation.SetProgressTiming(std::chrono::hours(24), std::chrono::hours(24));
    if (run) generation.StartGenerating();
    for (const testing::ShownBox& box : window.view.boxes) {
      if (!box.text.starts_with("Done.")) std::fprintf(stderr, "%s\n", box.text.c_str());
    }
    return 0;
  });
}

Measurement Shuf(const char* count, const std::string& file) {
  return InChild([&] {
    execlp("shuf", "shuf", "-r", "-i", "1-100000", "-n", count, "-o", file.c_str(),
           static_cast<char*>(nullptr));
    return 127;
  });
}

double MiB(std::uintmax_t bytes) {
  return static_cast<double>(bytes) / (1024 * 1024);
}

}  // namespace
}  // namespace tallowby

// Ratios are of wall-clock times measured in this one run; the machine's load shifts them.
int main(int argc, char* argv[]) {
  using namespace tallowby;
  namespace fs = std::filesystem;
  // "--quick" leaves out the 200,000,000 numbers (1.3 GB of text, and as much for shuf).
  const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
  const fs::path folder =
      fs::temp_directory_path() / ("tallowby-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string results = (folder / "results.txt").string();
  const std::string shuf_file = (folder / "shuf.txt").string();

  std::printf("10,000,000 \"All numbers\" up to 100000 into results.txt\n");
  const Measurement shuf = Shuf("10000000", shuf_file);
  const Measurement run = Run("10000000", "100000", NumberKind::AllNumbers, folder.string());
  std::printf("  shuf:     %.3f s\n", shuf.seconds);
  std::printf("  Tallowby: %.3f s  = %.2f x shuf, text %.1f MiB, peak memory %.1f MiB\n",
              run.seconds, run.seconds / shuf.seconds, MiB(fs::file_size(results)),
              run.peak_megabytes);

  // The bar's cost: five runs each way, alternating, the best of each.
  double with = 1e9, without = 1e9;
  for (int i = 0; i < 5; ++i) {
    with =
        std::min(with, Run("10000000", "100000", NumberKind::AllNumbers, folder.string()).seconds);
    without = std::min(
        without, Run("10000000", "100000", NumberKind::AllNumbers, folder.string(), false).seconds);
  }
  std::printf("  progress bar: %.3f s with, %.3f s without = %+.1f %%\n", with, without,
              100.0 * (with - without) / without);

  std::printf("1,000,000 \"Prime only\" up to 2000000000 into results.txt\n");
  const Measurement primes = Run("1000000", "2000000000", NumberKind::PrimeOnly, folder.string());
  std::printf("  Tallowby: %.3f s, peak memory %.1f MiB\n", primes.seconds, primes.peak_megabytes);

  if (!quick) {
    std::printf("200,000,000 \"All numbers\" up to 100000 into results.txt\n");
    const Measurement idle =
        Run("1", "100000", NumberKind::AllNumbers, folder.string(), true, false);
    const Measurement big = Run("200000000", "100000", NumberKind::AllNumbers, folder.string());
    const std::uintmax_t text = fs::file_size(results);
    fs::remove(results);
    const Measurement big_shuf = Shuf("200000000", shuf_file);
    std::printf("  shuf:     %.3f s\n", big_shuf.seconds);
    std::printf("  Tallowby: %.3f s  = %.2f x shuf, text %.0f MiB\n", big.seconds,
                big.seconds / big_shuf.seconds, MiB(text));
    std::printf("  peak memory %.1f MiB, idle %.1f MiB: the run adds %.1f MiB\n",
                big.peak_megabytes, idle.peak_megabytes, big.peak_megabytes - idle.peak_megabytes);
  }

  fs::remove_all(folder);
  return 0;
}
