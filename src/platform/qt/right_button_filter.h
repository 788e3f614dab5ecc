// Sees every right-button release in a window and its children before the
// widget under the cursor does, and reports it at its screen point: the
// main window's look at the right button ahead of its controls.
#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

namespace tolvar {

class RightButtonFilter final : public QObject {
 public:
  // Watches `window` while this object lives; `released` gets the screen point.
  RightButtonFilter(QWidget& window, std::function<void(int x, int y)> released);
  ~RightButtonFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  std::function<void(int x, int y)> released_;
  quint64 lastTimestamp_ = 0;
};

}  // namespace tolvar
