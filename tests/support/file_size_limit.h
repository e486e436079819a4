// A file-size limit for the test's own process, which makes a large write fail half-way as a
// full disk would. POSIX only.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace tallowby::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : saved_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, saved_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*saved_handler_)(int);
};

}  // namespace tallowby::testing
