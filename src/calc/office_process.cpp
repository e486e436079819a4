#include "calc/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

#include "calc/poll_until.h"
#include "core/ports/failure.h"

extern char** environ;

namespace tallowby::calc {

struct OfficeProcess::Watch {
  std::mutex mutex;
  std::condition_variable ended;
  std::optional<int> status;
};

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kPollInterval{50};

std::string_view VariableName(std::string_view entry) {
  return entry.substr(0, entry.find('='));
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> result;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view name = VariableName(*entry);
    bool replaced = false;
    for (const std::string& added : extra)
      replaced = replaced || VariableName(added) == name;
    if (!replaced) result.emplace_back(*entry);
  }
  result.insert(result.end(), extra.begin(), extra.end());
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  pointers.reserve(texts.size() + 1);
  for (std::string& text : texts)
    pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Whether any process of the group is left. The leader may be gone while the office it started
// still runs, so the group, not the leader, decides.
bool GroupAlive(pid_t group) {
  return ::kill(-group, 0) == 0 || errno == EPERM;
}

bool WaitForGroupEnd(pid_t group, milliseconds timeout) {
  return PollUntil(timeout, kPollInterval, [group] { return !GroupAlive(group); });
}

}  // namespace

std::unique_ptr<OfficeProcess> OfficeProcess::Start(
    const std::string& program, const std::vector<std::string>& arguments,
    const std::vector<std::string>& extra_environment) {
  std::vector<std::string> argument_texts = arguments;
  std::vector<std::string> environment_texts = ChildEnvironment(extra_environment);
  std::vector<char*> argv = Pointers(argument_texts);
  std::vector<char*> envp = Pointers(environment_texts);

  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
  ::posix_spawnattr_init(&attributes);
  ::posix_spawn_file_actions_init(&actions);
  // Our threads block SIGPIPE and the host may ignore signals; the office starts with neither.
  sigset_t signals;
  ::sigemptyset(&signals);
  ::posix_spawnattr_setsigmask(&attributes, &signals);
  ::sigfillset(&signals);
  ::posix_spawnattr_setsigdefault(&attributes, &signals);
  ::posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  // Nothing of ours stays open in the office, which may run for days: no terminal, no files.
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
  ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  ::posix_spawn_file_actions_addchdir_np(&actions, "/");

  pid_t pid = 0;
  const int error =
      ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attributes);
  if (error != 0) throw Failure(DescribeErrno(error), error);

  // A thread of its own collects the status whenever the office ends, also long after the run
  // that started it.
  auto watch = std::make_shared<Watch>();
  try {
    StartReaper(pid, watch);
  } catch (...) {
    // Without a thread to wait for it, the office would end as a zombie; it cannot be left.
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    throw;
  }
  return std::unique_ptr<OfficeProcess>(new OfficeProcess(pid, std::move(watch)));
}

void OfficeProcess::StartReaper(pid_t pid, const std::shared_ptr<Watch>& watch) {
  std::thread([pid, watch] {
    int status = 0;
    pid_t result = 0;
    do {
      result = ::waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
      // The host collects its children itself (SIGCHLD ignored): all that is left to learn is
      // when the process is gone.
      while (::kill(pid, 0) == 0 || errno == EPERM)
        std::this_thread::sleep_for(kPollInterval);
      status = -1;
    }
    std::lock_guard lock(watch->mutex);
    watch->status = status;
    watch->ended.notify_all();
  }).detach();
}

OfficeProcess::OfficeProcess(pid_t pid, std::shared_ptr<Watch> watch)
    : pid_(pid), watch_(std::move(watch)) {}

OfficeProcess::~OfficeProcess() = default;

std::optional<int> OfficeProcess::ExitStatus() const {
  std::lock_guard lock(watch_->mutex);
  return watch_->status;
}

bool OfficeProcess::WaitForExit(milliseconds timeout) const {
  std::unique_lock lock(watch_->mutex);
  return watch_->ended.wait_for(lock, timeout, [&] { return watch_->status.has_value(); });
}

void OfficeProcess::Stop(milliseconds grace) const {
  if (!GroupAlive(pid_)) return;
  ::kill(-pid_, SIGTERM);
  ::kill(-pid_, SIGCONT);  // a stopped process acts on SIGTERM only once it runs again
  if (WaitForGroupEnd(pid_, grace)) return;
  ::kill(-pid_, SIGKILL);
  WaitForGroupEnd(pid_, grace);
}

std::string DescribeWaitStatus(int status) {
  if (status == -1) return "status unknown";
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

}  // namespace tallowby::calc
