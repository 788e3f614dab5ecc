// Window regions: a set of pixels held as horizontal bands of x-spans, and
// the shape of a window taken from its mask image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ports/image_source.h"
#include "skin/skin_layout.h"

namespace tolvar {

struct MaskShape;

// Rectangles use SkinRect: left and top included, right and bottom excluded.
class Region {
 public:
  Region() = default;  // empty
  explicit Region(const SkinRect& rect);

  // Pixels in exactly one of the region and the rectangle.
  void Xor(const SkinRect& rect);
  // The region less the rectangle.
  void Subtract(const SkinRect& rect);

  bool Contains(std::int32_t x, std::int32_t y) const;
  bool IsEmpty() const { return bands_.empty(); }

  // The region as rectangles sorted by top, then left; rectangles of one
  // band share top and bottom and never touch side by side.
  std::vector<SkinRect> Rects() const;

  friend bool operator==(const Region&, const Region&) = default;

 private:
  struct Span {
    std::int32_t left = 0;
    std::int32_t right = 0;
    friend bool operator==(const Span&, const Span&) = default;
  };
  // Rows top..bottom-1 that hold the same spans: sorted, non-empty, never touching.
  struct Band {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };
  using SpanOp = std::vector<Span> (*)(const std::vector<Span>&, Span);

  void Combine(const SkinRect& rect, SpanOp op);
  // Appends the spans of row y below every band held so far.
  void AppendRow(std::int32_t y, std::vector<Span>&& spans);
  static std::vector<Span> XorSpans(const std::vector<Span>& spans, Span span);
  static std::vector<Span> SubtractSpans(const std::vector<Span>& spans, Span span);

  friend MaskShape MaskRegion(const ImageSource& image);

  // Sorted by top, never overlapping; bands that touch hold different spans.
  // Every set of pixels therefore has exactly one representation.
  std::vector<Band> bands_;
};

// A pixel is light, and not part of the window, when its red, green and blue
// are all above this.
constexpr int kLightChannelMin = 100;

struct MaskShape {
  Region region;  // the image's rectangle less its light pixels
  int width = 0;
  int height = 0;
};

// The shape of an image, built one row of runs at a time.
MaskShape MaskRegion(const ImageSource& image);
// The shape of an image file; a missing or unreadable file gives an empty
// region of size 0 x 0.
MaskShape MaskRegion(ImageFileReader& reader, const std::string& path);

// The window shape less the advanced page's control areas (name edit, event
// list, macro list and the cut-out area, in that order).
Region ControlFreeRegion(const Region& windowShape, const AdvancedAreas& areas);

}  // namespace tolvar
