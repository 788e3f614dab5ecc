// What the painters need of the window system: decoded layer images, and a
// canvas to copy from them, fill and write text on.
#pragma once

#include <memory>
#include <string>

#include "base/values.h"

namespace tolvar {

// A rectangle by its origin and size; one with no width or height is empty.
struct PaintRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PaintRect&, const PaintRect&) = default;
};

struct TextSize {
  int width = 0;
  int height = 0;
};

// A decoded image, opaque to the core; only the canvas that made it reads it.
class LayerImage {
 public:
  virtual ~LayerImage() = default;
};

class LayerImages {
 public:
  virtual ~LayerImages() = default;
  // The image of `path`, decoded once and reused while the file stays the
  // same; null when the file is missing or unreadable.
  virtual std::shared_ptr<const LayerImage> Load(const std::string& path) = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Copies `rect` of the layer onto the same place of the canvas, one to one;
  // parts outside the layer or the canvas are left as they are.
  virtual void CopyFromLayer(const LayerImage& layer, const PaintRect& rect) = 0;
  virtual void FillRect(const PaintRect& rect, Rgb colour) = 0;
  // Width and height of the text's cell in the font.
  virtual TextSize MeasureText(const std::u16string& text, const FontSpec& font) = 0;
  // Draws the text with the top-left corner of its cell at (x, y), background transparent.
  virtual void DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) = 0;
};

}  // namespace tolvar
