// The worker clock on Linux: sleeps to absolute deadlines on the monotonic
// clock, so a wait's deadline does not move with when the sleep began; spins
// read the same clock (through the vDSO, no system call).
#pragma once

#include "ports/clock.h"

namespace tolvar {

class MonotonicClock final : public Clock {
 public:
  TimePoint Now() override;
  void SleepUntil(TimePoint deadline) override;
  void SpinUntil(TimePoint deadline) override;
};

}  // namespace tolvar
