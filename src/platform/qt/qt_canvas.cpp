#include "platform/qt/qt_canvas.h"

#include <QColor>
#include <QString>
#include <algorithm>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_image_cache.h"

namespace tolvar {

namespace {

QColor ColourOf(Rgb colour) { return QColor(colour.r, colour.g, colour.b); }

}  // namespace

QtCanvas::QtCanvas(QImage& target) : target_(target), painter_(&target) {
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QRect QtCanvas::Clipped(const PaintRect& rect) const {
  if (rect.width <= 0 || rect.height <= 0) return {};
  return QRect(rect.x, rect.y, rect.width, rect.height) & target_.rect();
}

void QtCanvas::CopyFromLayer(const LayerImage& layer, const PaintRect& rect) {
  const auto* image = dynamic_cast<const QtLayerImage*>(&layer);
  if (image == nullptr) return;
  const QRect area = Clipped(rect) & image->Image().rect();
  if (area.isEmpty()) return;
  painter_.drawImage(area.topLeft(), image->Image(), area);
}

void QtCanvas::FillRect(const PaintRect& rect, Rgb colour) {
  const QRect area = Clipped(rect);
  if (!area.isEmpty()) painter_.fillRect(area, ColourOf(colour));
}

const QtCanvas::LoadedFont& QtCanvas::FontFor(const FontSpec& wanted) {
  const auto found =
      std::find_if(fonts_.begin(), fonts_.end(), [&](const LoadedFont& f) { return f.wanted == wanted; });
  if (found != fonts_.end()) return *found;
  const QFont font = QtFontFor(wanted);
  fonts_.push_back(LoadedFont{wanted, font, QFontMetrics(font, &target_)});
  return fonts_.back();
}

TextSize QtCanvas::MeasureText(const std::u16string& text, const FontSpec& font) {
  const LoadedFont& loaded = FontFor(font);
  return {loaded.metrics.horizontalAdvance(QString::fromStdU16String(text)), loaded.metrics.height()};
}

void QtCanvas::DrawText(int x, int y, const std::u16string& text, const FontSpec& font, Rgb colour) {
  const LoadedFont& loaded = FontFor(font);
  painter_.setFont(loaded.font);
  painter_.setPen(ColourOf(colour));
  painter_.drawText(QPoint(x, y + loaded.metrics.ascent()), QString::fromStdU16String(text));
}

}  // namespace tolvar
