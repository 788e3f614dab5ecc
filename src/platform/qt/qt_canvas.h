// The canvas of the painters over a QImage: copies from decoded layers,
// solid fills and text in the program's fonts.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <vector>

#include "ports/canvas.h"

namespace tolvar {

class QtCanvas : public Canvas {
 public:
  // Paints on `target` until the canvas is destroyed.
  explicit QtCanvas(QImage& target);

  void CopyFromLayer(const LayerImage& layer, const PaintRect& rect) override;
  void FillRect(const PaintRect& rect, Rgb colour) override;
  TextSize MeasureText(const std::u16string& text, const FontSpec& font) override;
  void DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) override;

 private:
  struct LoadedFont {
    FontSpec wanted;
    QFont font;
    QFontMetrics metrics;
  };
  const LoadedFont& FontFor(const FontSpec& wanted);
  QRect Clipped(const PaintRect& rect) const;

  QImage& target_;
  QPainter painter_;
  std::vector<LoadedFont> fonts_;  // the few fonts a paint uses
};

}  // namespace tolvar
