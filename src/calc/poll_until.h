// Waiting for something that cannot tell us when it happens (a process group ending, an office
// opening its pipe), by asking again and again until it holds or time runs out.
#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

namespace tallowby::calc {

// Asks holds() until it answers true or timeout has passed, sleeping interval between asks. The
// last sleep ends at the deadline, where holds() is asked once more: the wait never overshoots by
// a whole interval, and a zero timeout is a single look. Exceptions from holds() pass through.
template <class Predicate>
bool PollUntil(std::chrono::steady_clock::duration timeout,
               std::chrono::steady_clock::duration interval, Predicate&& holds) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (holds()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min(interval, deadline - now));
  }
}

}  // namespace tallowby::calc
