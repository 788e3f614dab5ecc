// Decoded pixels of an image file, for the core's pixel scans (the window
// shape of a mask image).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tolvar {

class ImageSource {
 public:
  virtual ~ImageSource() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Row y (0 <= y < Height()): Width() pixels of three bytes each, red, green, blue.
  virtual std::span<const std::uint8_t> RgbRow(int y) const = 0;
};

class ImageFileReader {
 public:
  virtual ~ImageFileReader() = default;
  // The decoded image, or null when the file is missing or unreadable.
  virtual std::unique_ptr<ImageSource> ReadPixels(const std::string& path) = 0;
};

}  // namespace tolvar
