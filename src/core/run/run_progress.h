// The progress bar during a run: it fills with the share of the work done once the run has taken
// long enough to be worth showing, and the window repaints with it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>

namespace tallowby {

class RunProgress {
 public:
  using Clock = std::chrono::steady_clock;

  // `show` sets the bar to a value from 0 to 100 and lets the window repaint.
  explicit RunProgress(std::function<void(int)> show) : show_(std::move(show)) {}

  // A run shorter than `delay` never moves the bar; after it, the bar moves at most once every
  // `interval`.
  void SetTiming(Clock::duration delay, Clock::duration interval) {
    delay_ = delay;
    interval_ = interval;
  }

  void Start(std::int64_t total) {
    total_ = total > 0 ? total : 1;
    start_ = Clock::now();
    next_ = start_ + delay_;
  }

  // Cheap enough to call every few thousand numbers: most calls only read the clock.
  void Advance(std::int64_t done) {
    const Clock::time_point now = Clock::now();
    if (now < next_) return;
    next_ = now + interval_;
    show_(static_cast<int>(std::clamp<std::int64_t>(done * 100 / total_, 0, 100)));
  }

 private:
  std::function<void(int)> show_;
  Clock::duration delay_ = std::chrono::milliseconds(500);
  Clock::duration interval_ = std::chrono::milliseconds(40);
  std::int64_t total_ = 1;
  Clock::time_point start_{};
  Clock::time_point next_{};
};

}  // namespace tallowby
