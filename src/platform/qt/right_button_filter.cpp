#include "platform/qt/right_button_filter.h"

#include <QApplication>
#include <QMouseEvent>

namespace tolvar {

RightButtonFilter::RightButtonFilter(QWidget& window, std::function<void(int x, int y)> released)
    : window_(window), released_(std::move(released)) {
  qApp->installEventFilter(this);
}

RightButtonFilter::~RightButtonFilter() { qApp->removeEventFilter(this); }

bool RightButtonFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    // An unhandled release is passed on to the widget's parents, each time
    // through this filter: report it once, the first time.
    if (mouse->button() == Qt::RightButton && widget->window() == &window_ && mouse->timestamp() != lastTimestamp_) {
      lastTimestamp_ = mouse->timestamp();
      const QPoint at = mouse->globalPosition().toPoint();
      released_(at.x(), at.y());
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tolvar
