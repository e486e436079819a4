// tallowby-cli against GNU shuf: the same count of numbers into a file, with and without
// repeats, each with its peak memory; then tallowby-cli against itself: the system's generator
// against the default one, and a draw from the few values an exclusion leaves.
//
// Each command runs as a child process of its own, so its peak resident memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Measurement {
  double seconds = 0;
  double peak_megabytes = 0;
};

Measurement Command(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", arguments[0].c_str());
    std::exit(1);
  }
  return {std::chrono::duration<double>(end - start).count(), usage.ru_maxrss / 1024.0};
}

void CompareOwn(const char* title, const char* base_name, const std::vector<std::string>& base,
                const std::vector<std::string>& ours) {
  const Measurement theirs = Command(base);
  const Measurement mine = Command(ours);
  std::printf("%s\n", title);
  std::printf("  %-12s  %.3f s, peak memory %.1f MiB\n", base_name, theirs.seconds,
              theirs.peak_megabytes);
  std::printf("  tallowby-cli: %.3f s, peak memory %.1f MiB  = %.2f x\n", mine.seconds,
              mine.peak_megabytes, mine.seconds / theirs.seconds);
}

void Compare(const char* title, const std::vector<std::string>& ours,
             const std::vector<std::string>& shuf) {
  const Measurement theirs = Command(shuf);
  const Measurement mine = Command(ours);
  std::printf("%s\n", title);
  std::printf("  shuf:         %.3f s, peak memory %.1f MiB\n", theirs.seconds,
              theirs.peak_megabytes);
  std::printf("  tallowby-cli: %.3f s, peak memory %.1f MiB  = %.2f x shuf's time\n", mine.seconds,
              mine.peak_megabytes, mine.seconds / theirs.seconds);
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("tallowby-cli-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string ours = (folder / "cli.txt").string();
  const std::string theirs = (folder / "shuf.txt").string();

  Compare("10,000,000 numbers up to 100,000 (repeats allowed):",
          {TALLOWBY_CLI, "--count", "10000000", "--highest", "100000", "--output", ours},
          {"shuf", "-r", "-i", "1-100000", "-n", "10000000", "-o", theirs});
  Compare(
      "10,000,000 different numbers up to 100,000,000:",
      {TALLOWBY_CLI, "--unique", "--count", "10000000", "--highest", "100000000", "--output", ours},
      {"shuf", "-i", "1-100000000", "-n", "10000000", "-o", theirs});
  Compare("10,000,000 numbers in --range 1..100000 (repeats allowed):",
          {TALLOWBY_CLI, "--count", "10000000", "--range", "1..100000", "--output", ours},
          {"shuf", "-r", "-i", "1-100000", "-n", "10000000", "-o", theirs});
  CompareOwn(
      "10,000,000 numbers in --range 1..100000 from the system's generator (--secure):", "default:",
      {TALLOWBY_CLI, "--count", "10000000", "--range", "1..100000", "--output", ours},
      {TALLOWBY_CLI, "--count", "10000000", "--range", "1..100000", "--secure", "--output", ours});
  const Measurement excluded =
      Command({TALLOWBY_CLI, "--count", "200000", "--range", "1..1000000000", "--exclude",
               "1..999999990", "--output", ours});
  std::printf(
      "200,000 numbers from the 10 that --exclude 1..999999990 leaves of 1..1000000000:\n"
      "  tallowby-cli: %.3f s, peak memory %.1f MiB\n",
      excluded.seconds, excluded.peak_megabytes);
  fs::remove_all(folder);
}
