// The office process this program starts, watched for as long as this program runs.
//
// The office runs in a session of its own: it must outlive this program (the user keeps working in
// the workbook) and must not receive the signals meant for it, such as a Ctrl+C in its terminal.
// A thread waits for it, so an office that ends while this program runs never lingers as a
// zombie, even after this program has stopped looking at it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tallowby::calc {

class OfficeProcess {
 public:
  // Starts program with arguments (argv[0] is the program) in a new session, with the current
  // environment plus extra_environment ("NAME=value", replacing a variable of the same name).
  // Throws Failure when the program cannot be run at all.
  static std::unique_ptr<OfficeProcess> Start(const std::string& program,
                                              const std::vector<std::string>& arguments,
                                              const std::vector<std::string>& extra_environment);

  // Leaves the process running.
  ~OfficeProcess();
  OfficeProcess(const OfficeProcess&) = delete;
  OfficeProcess& operator=(const OfficeProcess&) = delete;

  pid_t Id() const { return pid_; }

  // The wait status once the process has ended (see waitpid), or -1 when it ended but its status
  // could not be collected; nothing while it runs.
  std::optional<int> ExitStatus() const;

  // Waits up to timeout for the process to end; true when it has.
  bool WaitForExit(std::chrono::milliseconds timeout) const;

  // Ends the process and everything it started: SIGTERM to its process group, then SIGKILL to
  // whatever is left after grace. Returns once the process has ended or SIGKILL was sent.
  void Stop(std::chrono::milliseconds grace) const;

 private:
  struct Watch;
  OfficeProcess(pid_t pid, std::shared_ptr<Watch> watch);
  static void StartReaper(pid_t pid, const std::shared_ptr<Watch>& watch);

  pid_t pid_;
  std::shared_ptr<Watch> watch_;
};

// "exit status 1", "signal 9": how a process ended, for messages.
std::string DescribeWaitStatus(int status);

}  // namespace tallowby::calc
