// The mask scan done the slow way: the image's rectangle, then one 1 x 1
// XOR per light pixel, column by column. The reference the row-run scan
// must match.
#pragma once

#include "skin/mask_region.h"

namespace tolvar {

inline MaskShape PerPixelMaskRegion(const ImageSource& image) {
  MaskShape shape;
  shape.width = image.Width();
  shape.height = image.Height();
  shape.region = Region(Rect{0, 0, shape.width, shape.height});
  for (int x = 0; x < shape.width; ++x) {
    for (int y = 0; y < shape.height; ++y) {
      const auto* rgb = image.RgbRow(y).data() + x * 3;
      if (rgb[0] > kLightChannelMin && rgb[1] > kLightChannelMin && rgb[2] > kLightChannelMin) {
        shape.region.Xor({x, y, x + 1, y + 1});
      }
    }
  }
  return shape;
}

}  // namespace tolvar
