// An image held in memory, for the pixel scans.
#pragma once

#include <cstdint>
#include <vector>

#include "ports/image_source.h"

namespace tolvar {

class TestImage : public ImageSource {
 public:
  TestImage(int width, int height, std::uint8_t r = 0, std::uint8_t g = 0, std::uint8_t b = 0)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) Set(x, y, r, g, b);
    }
  }
  void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::span<const std::uint8_t> RgbRow(int y) const override {
    return {pixels_.data() + static_cast<std::size_t>(y) * width_ * 3, static_cast<std::size_t>(width_) * 3};
  }

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace tolvar
