// Time for the worker threads: the current time and sleeping until a moment.
// Workers schedule against absolute deadlines so that waits do not drift.
#pragma once

#include <chrono>
#include <thread>

namespace tolvar {

class Clock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~Clock() = default;
  virtual TimePoint Now() = 0;
  // Returns at `deadline` or soon after; at once when it has passed.
  virtual void SleepUntil(TimePoint deadline) = 0;
  // Returns at `deadline` without giving up the processor; at once when it
  // has passed. For the last moments before a deadline on a real-time
  // thread: the caller keeps it short.
  virtual void SpinUntil(TimePoint deadline) = 0;
};

// The monotonic system clock.
class SteadyClock final : public Clock {
 public:
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
  void SleepUntil(TimePoint deadline) override { std::this_thread::sleep_until(deadline); }
  void SpinUntil(TimePoint deadline) override {
    while (Now() < deadline) {
    }
  }
};

}  // namespace tolvar
