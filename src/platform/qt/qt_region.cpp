#include "platform/qt/qt_region.h"

#include <vector>

namespace tolvar {

QRegion ToQRegion(const Region& region) {
  // The core's rectangles are already banded as QRegion keeps them: sorted
  // by top then left, one height per band, never touching side by side.
  std::vector<QRect> rects;
  for (const Rect& r : region.Rects()) rects.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
  QRegion result;
  result.setRects(rects.data(), static_cast<int>(rects.size()));
  return result;
}

void ApplyWindowShape(QWidget& window, const MaskShape& shape) {
  window.setWindowFlag(Qt::FramelessWindowHint, true);
  if (shape.width > 0 && shape.height > 0) window.setFixedSize(shape.width, shape.height);
  if (shape.region.IsEmpty()) {
    window.clearMask();
  } else {
    window.setMask(ToQRegion(shape.region));
  }
}

}  // namespace tolvar
