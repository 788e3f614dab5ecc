// Points, and rectangles by their edges: left and top included, right and
// bottom excluded.
#pragma once

#include <cstdint>

namespace tolvar {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  bool IsEmpty() const { return left >= right || top >= bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tolvar
