// The window in front on an X server (X11, or XWayland under a Wayland
// compositor): the root window's _NET_ACTIVE_WINDOW, watched through
// PropertyNotify on a connection of its own, so nothing polls. Each change
// is delivered on the user-interface thread with what identifies the
// window's application: its WM_CLASS and the file name of its program
// (_NET_WM_PID → /proc/PID/exe). The program's own windows are left out.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <vector>

#include "config/application_rules.h"

struct _XDisplay;

namespace tolvar {

class X11ActiveWindow final : public QObject {
  Q_OBJECT

 public:
  X11ActiveWindow();
  ~X11ActiveWindow() override;

  // Opens the display named by DISPLAY and starts watching; the window in
  // front at the start is delivered at once. False without a display.
  bool Start(std::function<void(const WindowIdentity&)> deliver);

  // The application windows the window manager lists (_NET_CLIENT_LIST).
  std::vector<WindowIdentity> OpenWindows();

 private:
  void ReadEvents();
  void DeliverActive();
  WindowIdentity IdentityOf(unsigned long window);
  unsigned long OwnerPid(unsigned long window);  // _NET_WM_PID, 0 when unknown

  _XDisplay* display_ = nullptr;
  unsigned long activeAtom_ = 0;
  unsigned long lastActive_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void(const WindowIdentity&)> deliver_;
};

}  // namespace tolvar
