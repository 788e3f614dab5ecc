#include "platform/linux/monotonic_clock_linux.h"

#include <time.h>

#include <cerrno>

namespace tolvar {

// std::chrono::steady_clock reads CLOCK_MONOTONIC on Linux, so its time
// points are that clock's times.
Clock::TimePoint MonotonicClock::Now() { return std::chrono::steady_clock::now(); }

void MonotonicClock::SleepUntil(TimePoint deadline) {
  const auto sinceStart = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch());
  if (sinceStart.count() < 0) return;
  const timespec at{.tv_sec = static_cast<time_t>(sinceStart.count() / 1000000000),
                    .tv_nsec = static_cast<long>(sinceStart.count() % 1000000000)};
  // Interrupted by a signal, the sleep goes on to the same deadline.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
}

void MonotonicClock::SpinUntil(TimePoint deadline) {
  while (Now() < deadline) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();  // spares the other hardware thread of the core
#endif
  }
}

}  // namespace tolvar
