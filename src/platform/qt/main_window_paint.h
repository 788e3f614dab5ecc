// The main window's paint for the Qt host: the page is composed in a back
// buffer of the mask's size and reaches the window in one copy, so hovering
// never flickers. The buffer lives while the window is shown.
#pragma once

#include <QImage>
#include <QPainter>

#include "app/app_state.h"
#include "app/window_view_state.h"
#include "platform/qt/qt_image_cache.h"

namespace tolvar {

class QtMainWindowPaint {
 public:
  explicit QtMainWindowPaint(QtImageCache& images) : images_(images) {}

  // Paints the current page into the back buffer and copies it to (0, 0);
  // the window outside the mask's size is not painted.
  void Paint(QPainter& window, AppState& state, const WindowViewState& view);

  // The page as the last paint composed it.
  const QImage& BackBuffer() const { return backBuffer_; }
  // Gives the back buffer up (the window was hidden); the next paint makes a new one.
  void ReleaseBuffer() { backBuffer_ = QImage(); }

 private:
  QtImageCache& images_;
  QImage backBuffer_;
};

// The page as an image of the mask's size, for previews and tests.
QImage RenderMainWindow(AppState& state, const WindowViewState& view, QtImageCache& images);

}  // namespace tolvar
