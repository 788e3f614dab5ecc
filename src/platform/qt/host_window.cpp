#include "platform/qt/host_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QString>
#include <QTimer>
#include <QWindow>
#include <chrono>

#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_region.h"

namespace tolvar {

namespace {

// How long a window manager may take to take a minimised window out of sight.
constexpr std::chrono::milliseconds kMinimiseGrace{300};

}  // namespace

HostWindow::HostWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  // The paint handler fills the whole window; Qt must not erase it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  // Tab reaches the painted controls between the child widgets; a click
  // leaves the focus where it was, as it always did.
  setFocusPolicy(Qt::TabFocus);
}

void HostWindow::SetTitle(const std::u16string& title) { setWindowTitle(QString::fromStdU16String(title)); }

void HostWindow::Invalidate() {
  QMetaObject::invokeMethod(
      this, [this] { update(); }, Qt::QueuedConnection);
}

void HostWindow::InvalidateRegion(const Region& region) {
  const QRegion due = ToQRegion(region);
  dueRegion_ += due;
  update(due);
}

void HostWindow::UpdateNow() {
  if (dueRegion_.isEmpty()) return;
  repaint(dueRegion_);
  dueRegion_ = QRegion();
}

Point HostWindow::ScreenOrigin() const {
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  return {origin.x(), origin.y()};
}

void HostWindow::StartDrag() {
  // The window manager moves the window; without one the window follows the
  // mouse itself until the button is released.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = QCursor::pos() - pos();
}

// A window that was minimised before it was painted (started hidden) has
// nothing on screen yet: shown again, it is painted whole.
void HostWindow::Show() {
  if (handlers_.showing) handlers_.showing();
  show();
  update();
}

void HostWindow::ShowMinimized() { showMinimized(); }

void HostWindow::Restore() {
  if (handlers_.showing) handlers_.showing();
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  update();
}

void HostWindow::Hide() { hide(); }

bool HostWindow::IsMinimized() const { return isMinimized(); }

void HostWindow::Destroy() {
  destroyed_ = true;
  hide();
  QCoreApplication::exit(0);
}

void HostWindow::PostToUi(std::function<void()> task) {
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void HostWindow::SetShape(const MaskShape& shape) { ApplyWindowShape(*this, shape); }

void HostWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    move(event->globalPosition().toPoint() - dragOffset_);
    return;
  }
  if (handlers_.mouseMove) handlers_.mouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void HostWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && handlers_.leftButtonDown) {
    handlers_.leftButtonDown(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void HostWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (dragging_) {
    dragging_ = false;
    return;
  }
  if (handlers_.leftButtonUp) handlers_.leftButtonUp(event->position().toPoint().x(), event->position().toPoint().y());
}

void HostWindow::paintEvent(QPaintEvent*) {
  dueRegion_ = QRegion();
  const bool wasMinimized = isMinimized();
  if (handlers_.eraseBackground) handlers_.eraseBackground();
  // The erase may have minimised the window (a start with the HIDE switch):
  // it goes out of sight, so nothing is painted or decoded for it. Where no
  // window manager takes it out of sight, it is painted after all.
  if (!wasMinimized && isMinimized()) {
    QTimer::singleShot(kMinimiseGrace, this, [this] {
      if (windowHandle() != nullptr && windowHandle()->isExposed()) update();
    });
    return;
  }
  QPainter painter(this);
  if (handlers_.paint) handlers_.paint(painter);
}

void HostWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (handlers_.hidden) handlers_.hidden();
}

void HostWindow::closeEvent(QCloseEvent* event) {
  if (destroyed_) {
    event->accept();
    return;
  }
  event->ignore();
  if (handlers_.closeRequested) handlers_.closeRequested();
}

bool HostWindow::event(QEvent* event) {
  if (event->type() == QEvent::ChildPolished && handlers_.controlColours) {
    // Child controls only: dialogs and popups owned by the window keep their own look.
    auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
    if (child != nullptr && !child->isWindow()) {
      const ControlColours look = handlers_.controlColours();
      const QColor background(look.background.r, look.background.g, look.background.b);
      const QColor text(look.text.r, look.text.g, look.text.b);
      QPalette palette = child->palette();
      for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
        palette.setColor(role, background);
      }
      for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        palette.setColor(role, text);
      }
      child->setPalette(palette);
      child->setAutoFillBackground(true);
      child->setFont(QtFontFor(look.font));
    }
  }
  return QWidget::event(event);
}

bool HostWindow::focusNextPrevChild(bool next) {
  const QWidget* focused = focusWidget();
  if ((focused == nullptr || focused == this) && handlers_.tab && handlers_.tab(next)) return true;
  return QWidget::focusNextPrevChild(next);
}

void HostWindow::focusInEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  if (handlers_.focusEntered && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
    handlers_.focusEntered(reason == Qt::TabFocusReason);
  }
  QWidget::focusInEvent(event);
}

void HostWindow::keyPressEvent(QKeyEvent* event) {
  if (handlers_.key && handlers_.key(*event)) return;
  QWidget::keyPressEvent(event);
}

}  // namespace tolvar
