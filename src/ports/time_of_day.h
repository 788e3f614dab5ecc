// The UTC time of day, in milliseconds since midnight: the time base of
// macro recording.
#pragma once

#include <chrono>

namespace tolvar {

class TimeOfDay {
 public:
  virtual ~TimeOfDay() = default;
  virtual int UtcMillisecondsOfDay() = 0;
};

class SystemTimeOfDay final : public TimeOfDay {
 public:
  int UtcMillisecondsOfDay() override {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    return static_cast<int>(sinceEpoch % days(1) / milliseconds(1));
  }
};

}  // namespace tolvar
