// The one native window of the main dialog: a frameless Qt widget that
// implements WindowHost for the core and forwards Qt's events to the core
// window's handlers (set by main as callbacks, so this file holds no
// behaviour of its own).
#pragma once

#include <QWidget>
#include <functional>

#include "app/startup.h"
#include "ports/window_host.h"

namespace tolvar {

class HostWindow : public QWidget, public WindowHost {
  Q_OBJECT

 public:
  struct Handlers {
    std::function<void(QPainter&)> paint{};
    std::function<void()> eraseBackground{};
    // The window manager asked to close the window (Alt+F4, a task bar's close).
    std::function<void()> closeRequested{};
    // A key press reaching the window; returns true when it was handled.
    std::function<bool(QKeyEvent&)> key{};
    // Tab (`forward`) or Shift+Tab while the window itself has the focus;
    // returns true when the painted controls took it.
    std::function<bool(bool forward)> tab{};
    // Tab or Shift+Tab brought the focus from a child widget to the window.
    std::function<void(bool forward)> focusEntered{};
    // The look of every child control, asked for each time one is polished.
    std::function<ControlColours()> controlColours{};
    // The mouse at client coordinates: moves, left button press and release.
    std::function<void(int x, int y)> mouseMove{};
    std::function<void(int x, int y)> leftButtonDown{};
    std::function<void(int x, int y)> leftButtonUp{};
    // The window is asked to show (Show, Restore), before it does.
    std::function<void()> showing{};
    // The window went out of sight (hidden, or minimised by the window
    // manager): what only a shown window needs may be given up.
    std::function<void()> hidden{};
  };

  HostWindow();
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }
  bool IsDestroyed() const { return destroyed_; }

  // WindowHost
  void SetTitle(const std::u16string& title) override;
  void Invalidate() override;
  void InvalidateRegion(const Region& region) override;
  void UpdateNow() override;
  Point ScreenOrigin() const override;
  void StartDrag() override;
  void Show() override;
  void ShowMinimized() override;
  void Restore() override;
  void Hide() override;
  bool IsMinimized() const override;
  void Destroy() override;
  void PostToUi(std::function<void()> task) override;
  void SetShape(const MaskShape& shape) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  Handlers handlers_;
  bool destroyed_ = false;
  QRegion dueRegion_;  // invalidated, not yet painted
  // A drag the window moves itself, where the window system will not.
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace tolvar
