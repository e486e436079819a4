// One thread that makes the calls into another process, so that the caller can wait with a
// deadline.
//
// A call into LibreOffice waits for its answer without any time limit, and an office that hangs
// would hang this program with it. The caller hands each call to this thread and waits only as
// long as it chooses; a call that overruns is cut off by closing the connection it waits on. A
// call that does not return even then is left behind with its thread, which is why a job owns
// everything it uses (captures by value) and never refers to the caller's objects.
//
// The thread blocks SIGPIPE, and so do the threads it starts (the connection's reader and writer
// inherit its signal mask): writing to an office that has just died must fail the call, not end
// this program.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace tallowby::calc {

class CallWorker {
 public:
  CallWorker();
  // Waits for the thread when it is idle; a thread still stuck in a call is left to finish alone.
  ~CallWorker();
  CallWorker(const CallWorker&) = delete;
  CallWorker& operator=(const CallWorker&) = delete;

  // Runs job on the worker thread; true when it returned within timeout. false when it is still
  // running (or an earlier job still is, in which case this one is not started). job must not
  // throw.
  bool Run(std::function<void()> job, std::chrono::milliseconds timeout);

  // Waits up to timeout for a job that overran; true once the thread is idle again.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

// Blocks SIGPIPE on the calling thread while it lives, for the few calls that must be made from the
// caller's thread (cutting a connection). A SIGPIPE raised meanwhile is discarded, not delivered.
class SigpipeBlock {
 public:
  SigpipeBlock();
  ~SigpipeBlock();
  SigpipeBlock(const SigpipeBlock&) = delete;
  SigpipeBlock& operator=(const SigpipeBlock&) = delete;

 private:
  bool was_blocked_ = false;
  bool was_pending_ = false;
};

}  // namespace tallowby::calc
