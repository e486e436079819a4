// The deadline machinery on its own, with jobs that block on purpose.
#include "calc/call_worker.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <future>

namespace tallowby::calc {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(CallWorkerTest, RunsJobsOnItsOwnThread) {
  CallWorker worker;
  std::thread::id job_thread;
  EXPECT_TRUE(worker.Run([&] { job_thread = std::this_thread::get_id(); }, seconds(5)));
  EXPECT_NE(job_thread, std::thread::id());
  EXPECT_NE(job_thread, std::this_thread::get_id());
}

TEST(CallWorkerTest, AJobPastItsDeadlineKeepsTheWorkerUntilItReturns) {
  CallWorker worker;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  EXPECT_FALSE(worker.Run([released] { released.wait(); }, milliseconds(50)));
  std::atomic<bool> second_ran = false;
  EXPECT_FALSE(worker.Run([&] { second_ran = true; }, seconds(1)));
  EXPECT_FALSE(worker.WaitUntilIdle(milliseconds(50)));
  release.set_value();
  EXPECT_TRUE(worker.WaitUntilIdle(seconds(5)));
  EXPECT_FALSE(second_ran);
  EXPECT_TRUE(worker.Run([&] { second_ran = true; }, seconds(5)));
  EXPECT_TRUE(second_ran);
}

TEST(CallWorkerTest, EndingWithAStuckJobDoesNotWaitForIt) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  const auto start = std::chrono::steady_clock::now();
  {
    CallWorker worker;
    worker.Run([released] { released.wait(); }, milliseconds(10));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, seconds(1));
  release.set_value();  // the job still owns what it waits on, and ends on its own
}

// A write to a connection whose other end is gone raises SIGPIPE, which would end the program.
int WriteToClosedSocket() {
  int ends[2];
  ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends);
  ::close(ends[1]);
  const ssize_t written = ::write(ends[0], "x", 1);
  const int error = written < 0 ? errno : 0;
  ::close(ends[0]);
  return error;
}

bool SigpipeBlockedHere() {
  sigset_t mask;
  ::pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return ::sigismember(&mask, SIGPIPE) == 1;
}

TEST(CallWorkerTest, WritingToADeadOfficeFailsInsteadOfEndingTheProgram) {
  CallWorker worker;
  int error = 0;
  ASSERT_TRUE(worker.Run([&] { error = WriteToClosedSocket(); }, seconds(5)));
  EXPECT_EQ(error, EPIPE);

  {
    SigpipeBlock block;
    EXPECT_EQ(WriteToClosedSocket(), EPIPE);
  }
  EXPECT_FALSE(SigpipeBlockedHere());
  sigset_t pending;
  ::sigpending(&pending);
  EXPECT_FALSE(::sigismember(&pending, SIGPIPE)) << "a SIGPIPE waits to be delivered";
}

}  // namespace
}  // namespace tallowby::calc
