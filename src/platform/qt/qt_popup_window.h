// The skinned popups' native windows: frameless tool windows above their
// owner that forward the mouse, Escape and closing to a core popup and
// paint it through a back buffer. They never grab the mouse, so a click on
// the main window reaches the main window while a popup is open.
#pragma once

#include <QEventLoop>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/qt/qt_image_cache.h"
#include "ports/popup_window.h"

namespace tolvar {

class QtPopupWidget : public QWidget {
  Q_OBJECT

 public:
  QtPopupWidget(PopupHandlers& handlers, QtImageCache& images, QWidget* owner);
  // The core popup is gone: later events go nowhere.
  void Detach() { handlers_ = nullptr; }
  PopupHandlers* Handlers() const { return handlers_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  PopupHandlers* handlers_;
  QtImageCache& images_;
  QImage backBuffer_;
};

class QtPopupWindow final : public PopupWindow {
 public:
  QtPopupWindow(PopupHandlers& handlers, QtImageCache& images, QWidget* owner);
  ~QtPopupWindow() override;

  void SetTitle(const std::u16string& title) override;
  void Move(int x, int y, int width, int height) override;
  void SetShape(const Region& region) override;
  void Show() override;
  void Hide() override;
  void Invalidate() override;
  Point Origin() const override;
  int RunModal() override;
  void EndModal(int result) override;

  QWidget* Widget() const { return widget_; }

 private:
  QPointer<QtPopupWidget> widget_;
  QEventLoop* modalLoop_ = nullptr;
  bool empty_ = false;  // shaped to no pixel: never shown
  QSize shapeSize_;     // shaped to one rectangle from the corner: the window's size
  int result_ = 0;
};

class QtPopupWindows final : public PopupWindows {
 public:
  // `mainWindow` owns the popups created without an owner.
  QtPopupWindows(QWidget& mainWindow, QtImageCache& images) : mainWindow_(mainWindow), images_(images) {}
  std::unique_ptr<PopupWindow> Create(PopupHandlers& handlers, PopupWindow* owner) override;

 private:
  QWidget& mainWindow_;
  QtImageCache& images_;
};

}  // namespace tolvar
