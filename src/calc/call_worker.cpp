#include "calc/call_worker.h"

#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <ctime>
#include <mutex>

namespace tallowby::calc {

namespace {

sigset_t SigpipeOnly() {
  sigset_t set;
  ::sigemptyset(&set);
  ::sigaddset(&set, SIGPIPE);
  return set;
}

bool SigpipePending() {
  sigset_t pending;
  ::sigpending(&pending);
  return ::sigismember(&pending, SIGPIPE) == 1;
}

}  // namespace

struct CallWorker::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::function<void()> job;  // handed over, not yet taken by the thread
  bool busy = false;          // a job is handed over or running
  bool stop = false;
};

CallWorker::CallWorker() : shared_(std::make_shared<Shared>()) {
  thread_ = std::thread([shared = shared_] {
    const sigset_t sigpipe = SigpipeOnly();
    ::pthread_sigmask(SIG_BLOCK, &sigpipe, nullptr);
    std::unique_lock lock(shared->mutex);
    for (;;) {
      shared->changed.wait(lock, [&] { return shared->job || shared->stop; });
      if (!shared->job) return;
      std::function<void()> job = std::move(shared->job);
      shared->job = nullptr;
      lock.unlock();
      job();
      job = nullptr;  // what the job holds is released on this thread as well
      lock.lock();
      shared->busy = false;
      shared->changed.notify_all();
    }
  });
}

CallWorker::~CallWorker() {
  bool stuck = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
    stuck = shared_->busy;
    shared_->changed.notify_all();
  }
  if (stuck) {
    thread_.detach();  // it owns what it uses, and ends on its own if the call ever returns
  } else {
    thread_.join();
  }
}

bool CallWorker::Run(std::function<void()> job, std::chrono::milliseconds timeout) {
  std::unique_lock lock(shared_->mutex);
  if (shared_->busy) return false;
  shared_->busy = true;
  shared_->job = std::move(job);
  shared_->changed.notify_all();
  return shared_->changed.wait_for(lock, timeout, [&] { return !shared_->busy; });
}

bool CallWorker::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, timeout, [&] { return !shared_->busy; });
}

SigpipeBlock::SigpipeBlock() {
  const sigset_t sigpipe = SigpipeOnly();
  sigset_t previous;
  ::pthread_sigmask(SIG_BLOCK, &sigpipe, &previous);
  was_blocked_ = ::sigismember(&previous, SIGPIPE) == 1;
  was_pending_ = SigpipePending();
}

SigpipeBlock::~SigpipeBlock() {
  if (was_blocked_) return;
  const sigset_t sigpipe = SigpipeOnly();
  if (!was_pending_ && SigpipePending()) {
    const timespec no_wait{};
    ::sigtimedwait(&sigpipe, nullptr, &no_wait);
  }
  ::pthread_sigmask(SIG_UNBLOCK, &sigpipe, nullptr);
}

}  // namespace tallowby::calc
