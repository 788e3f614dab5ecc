#include "platform/qt/qt_popup_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_navigation_keys.h"
#include "platform/qt/qt_region.h"

namespace tolvar {

QtPopupWidget::QtPopupWidget(PopupHandlers& handlers, QtImageCache& images, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), handlers_(&handlers), images_(images) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
}

void QtPopupWidget::paintEvent(QPaintEvent*) {
  if (backBuffer_.size() != size()) backBuffer_ = QImage(size(), QImage::Format_RGB32);
  backBuffer_.fill(Qt::black);
  if (handlers_ != nullptr) {
    QtCanvas canvas(backBuffer_);
    handlers_->OnPaint(canvas, images_);
  }
  QPainter(this).drawImage(QPoint(0, 0), backBuffer_);
}

void QtPopupWidget::mouseMoveEvent(QMouseEvent* event) {
  if (handlers_ != nullptr) handlers_->OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void QtPopupWidget::mousePressEvent(QMouseEvent* event) {
  if (handlers_ != nullptr && event->button() == Qt::LeftButton) {
    handlers_->OnLButtonDown(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void QtPopupWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (handlers_ != nullptr && event->button() == Qt::LeftButton) {
    handlers_->OnLButtonUp(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

void QtPopupWidget::keyPressEvent(QKeyEvent* event) {
  // Escape cancels; the arrows, Enter and Space move among the items and choose.
  if (handlers_ == nullptr) return;
  if (event->key() == Qt::Key_Escape) {
    handlers_->OnCancel();
  } else if (const std::optional<NavigationKey> key = NavigationKeyOf(*event)) {
    handlers_->OnNavigationKey(*key);
  }
}

void QtPopupWidget::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (handlers_ != nullptr) handlers_->OnCancel();
}

QtPopupWindow::QtPopupWindow(PopupHandlers& handlers, QtImageCache& images, QWidget* owner)
    : widget_(new QtPopupWidget(handlers, images, owner)) {}

QtPopupWindow::~QtPopupWindow() {
  if (modalLoop_ != nullptr) modalLoop_->quit();
  if (widget_) {
    widget_->Detach();
    widget_->hide();
    widget_->deleteLater();
  }
}

void QtPopupWindow::SetTitle(const std::u16string& title) {
  if (widget_) widget_->setWindowTitle(QString::fromStdU16String(title));
}

void QtPopupWindow::Move(int x, int y, int width, int height) {
  if (!widget_) return;
  // A shape that is one rectangle from the corner is the window's size.
  if (!shapeSize_.isEmpty()) {
    width = std::min(width, shapeSize_.width());
    height = std::min(height, shapeSize_.height());
  }
  widget_->setGeometry(x, y, width, height);
  widget_->update();
}

void QtPopupWindow::SetShape(const Region& region) {
  if (!widget_) return;
  // Qt takes an empty mask as no mask at all; a window of no pixels stays hidden instead.
  empty_ = region.IsEmpty();
  const std::vector<Rect> rects = region.Rects();
  shapeSize_ = QSize();
  if (empty_) {
    widget_->hide();
  } else if (rects.size() == 1 && rects[0].left == 0 && rects[0].top == 0) {
    shapeSize_ = QSize(rects[0].right, rects[0].bottom);
    widget_->clearMask();
    widget_->resize(widget_->size().boundedTo(shapeSize_));
  } else {
    widget_->setMask(ToQRegion(region));
  }
}

void QtPopupWindow::Show() {
  if (widget_ && !empty_) {
    widget_->show();
    widget_->raise();
  }
}

void QtPopupWindow::Hide() {
  if (widget_) widget_->hide();
}

void QtPopupWindow::Invalidate() {
  if (widget_) widget_->update();
}

Point QtPopupWindow::Origin() const {
  if (!widget_) return {};
  return {widget_->x(), widget_->y()};
}

int QtPopupWindow::RunModal() {
  if (!widget_) return 0;
  widget_->setWindowModality(Qt::ApplicationModal);
  widget_->setAttribute(Qt::WA_ShowWithoutActivating, false);
  widget_->show();
  widget_->activateWindow();
  widget_->setFocus();
  QEventLoop loop;
  modalLoop_ = &loop;
  loop.exec();
  modalLoop_ = nullptr;
  if (widget_) widget_->hide();
  return result_;
}

void QtPopupWindow::EndModal(int result) {
  result_ = result;
  if (modalLoop_ != nullptr) modalLoop_->quit();
}

std::unique_ptr<PopupWindow> QtPopupWindows::Create(PopupHandlers& handlers, PopupWindow* owner) {
  QWidget* ownerWidget = &mainWindow_;
  if (auto* popup = dynamic_cast<QtPopupWindow*>(owner); popup != nullptr && popup->Widget() != nullptr) {
    ownerWidget = popup->Widget();
  }
  return std::make_unique<QtPopupWindow>(handlers, images_, ownerWidget);
}

}  // namespace tolvar
