// What the core needs of the desktop's own settings: the pointer speed and
// the wheel scroll lines. A setting the desktop does not have, or that
// cannot be read, reads as nullopt and is then left alone.
#pragma once

#include <optional>

namespace tolvar {

constexpr int kMinPointerSpeed = 1;
constexpr int kMaxPointerSpeed = 20;

class PointerSettings {
 public:
  virtual ~PointerSettings() = default;
  // The pointer speed on the scale 1..20 (10 is the desktop's middle).
  virtual std::optional<int> PointerSpeed() = 0;
  virtual void SetPointerSpeed(int speed) = 0;
  virtual std::optional<int> WheelScrollLines() = 0;
  virtual void SetWheelScrollLines(int lines) = 0;
};

}  // namespace tolvar
