// Small value types every layer shares: the "none" value, colours and fonts.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar {

constexpr int kNone = 255;  // "none" for every hover value and hit-test result

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A font as the program asks for it; the platform picks the nearest face.
struct FontSpec {
  std::u16string face;
  int height = 0;
  int width = 0;
  int weight = 400;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

}  // namespace tolvar
