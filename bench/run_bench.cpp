// The whole "Start Generating" run into a text file, against GNU shuf writing as many numbers,
// with the run's peak memory against the size of the text it wrote.
//
// Each measurement runs in a child process, so its peak resident memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

Measurement Run(const std::string& count, const std::string& highest, NumberKind kind,
                const std::string& folder) {
  return InChild([&] {
    // The window's part, without a window: fixed fields, and every box but "Done." printed.
    testing::RecordedWindow window;
    window.view.count = count;
    window.view.highest = highest;
    window.view.kind = kind;
    window.view.folder = folder;
    NativeFileSystem files;
    GenerationRun(window.host, ProcessRandomSource(), files, nullptr).StartGenerating();
    for (const testing::ShownBox& box : window.view.boxes) {
      if (!box.text.starts_with("Done.")) std::fprintf(stderr, "%s\n", box.text.c_str());
    }
    return 0;
  });
}

}  // namespace
}  // namespace tallowby

int main() {
  using namespace tallowby;
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("tallowby-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string results = (folder / "results.txt").string();
  const std::string shuf_file = (folder / "shuf.txt").string();

  std::printf("10,000,000 \"All numbers\" up to 100000 into results.txt\n");
  const Measurement shuf = InChild([&] {
    execlp("shuf", "shuf", "-r", "-i", "1-100000", "-n", "10000000", "-o", shuf_file.c_str(),
           static_cast<char*>(nullptr));
    return 127;
  });
  const Measurement run = Run("10000000", "100000", NumberKind::AllNumbers, folder.string());
  const double text_megabytes = static_cast<double>(fs::file_size(results)) / (1024 * 1024);
  std::printf("  shuf:     %.3f s\n", shuf.seconds);
  std::printf("  Tallowby: %.3f s  = %.2f x shuf\n", run.seconds, run.seconds / shuf.seconds);
  std::printf("  text %.1f MiB, peak memory %.1f MiB = %.2f x the text\n", text_megabytes,
              run.peak_megabytes, run.peak_megabytes / text_megabytes);

  std::printf("1,000,000 \"Prime only\" up to 2000000000 into results.txt\n");
  const Measurement primes = Run("1000000", "2000000000", NumberKind::PrimeOnly, folder.string());
  std::printf("  Tallowby: %.3f s, peak memory %.1f MiB\n", primes.seconds, primes.peak_megabytes);

  fs::remove_all(folder);
  return 0;
}
