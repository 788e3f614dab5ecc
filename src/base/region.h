// Window regions: a set of pixels held as horizontal bands of x-spans, and
// a window's shape with its size.
#pragma once

#include <cstdint>
#include <vector>

#include "base/geometry.h"

namespace tolvar {

// A set of pixels held as horizontal bands of x-spans.
class Region {
 public:
  Region() = default;  // empty
  explicit Region(const Rect& rect);

  // Pixels in exactly one of the region and the rectangle.
  void Xor(const Rect& rect);
  // The region less the rectangle.
  void Subtract(const Rect& rect);

  bool Contains(std::int32_t x, std::int32_t y) const;
  bool IsEmpty() const { return bands_.empty(); }

  // The region as rectangles sorted by top, then left; rectangles of one
  // band share top and bottom and never touch side by side.
  std::vector<Rect> Rects() const;

  friend bool operator==(const Region&, const Region&) = default;

  struct Span {
    std::int32_t left = 0;
    std::int32_t right = 0;
    friend bool operator==(const Span&, const Span&) = default;
  };
  // Appends the spans of row y below every row held so far: builds a region
  // one row at a time, top to bottom (spans sorted and not touching).
  void AppendRow(std::int32_t y, std::vector<Span>&& spans);

 private:
  // Rows top..bottom-1 that hold the same spans: sorted, non-empty, never touching.
  struct Band {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };
  using SpanOp = std::vector<Span> (*)(const std::vector<Span>&, Span);

  void Combine(const Rect& rect, SpanOp op);
  static std::vector<Span> XorSpans(const std::vector<Span>& spans, Span span);
  static std::vector<Span> SubtractSpans(const std::vector<Span>& spans, Span span);

  // Sorted by top, never overlapping; bands that touch hold different spans.
  // Every set of pixels therefore has exactly one representation.
  std::vector<Band> bands_;
};

struct MaskShape {
  Region region;  // the image's rectangle less its light pixels
  int width = 0;
  int height = 0;
};

}  // namespace tolvar
