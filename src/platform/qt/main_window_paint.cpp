#include "platform/qt/main_window_paint.h"

#include <algorithm>

#include "app/main_window_view.h"
#include "platform/qt/qt_canvas.h"

namespace tolvar {

namespace {

// Composes the page into `buffer`, (re)sized to the mask and cleared to black.
void Compose(QImage& buffer, AppState& state, const WindowViewState& view, QtImageCache& images) {
  const QSize size(std::max(0, state.MaskWidth), std::max(0, state.MaskHeight));
  if (buffer.size() != size || buffer.format() != QImage::Format_RGB32) {
    buffer = QImage(size, QImage::Format_RGB32);
  }
  if (buffer.isNull()) return;
  buffer.fill(Qt::black);
  QtCanvas canvas(buffer);
  PaintMainWindow(state, view, canvas, images);
}

}  // namespace

void QtMainWindowPaint::Paint(QPainter& window, AppState& state, const WindowViewState& view) {
  Compose(backBuffer_, state, view, images_);
  if (!backBuffer_.isNull()) window.drawImage(QPoint(0, 0), backBuffer_);
}

QImage RenderMainWindow(AppState& state, const WindowViewState& view, QtImageCache& images) {
  QImage image;
  Compose(image, state, view, images);
  return image;
}

}  // namespace tolvar
