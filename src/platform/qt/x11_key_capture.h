// KeyCapture through X11: an active grab of the keyboard on the root window
// over a connection of its own, so every key goes to this program alone
// while it is held. Keys are taken by position (their X key code), not by
// the symbol the desktop's layout gives them. Auto-repeat is made
// detectable, so a held key arrives as repeated presses without releases.
// Under Wayland the program runs through XWayland and the grab sees only the
// keys typed while one of its windows has the focus.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "ports/key_capture.h"

struct _XDisplay;

namespace tolvar {

// The virtual-key code of an X key code (the kernel's key code plus 8) with
// Num Lock on or off; 0 for a key without one.
int VirtualKeyOfKeycode(unsigned keycode, bool numLock);

class X11KeyCapture final : public QObject, public KeyCapture {
  Q_OBJECT

 public:
  X11KeyCapture();
  ~X11KeyCapture() override;

  CaptureStart Start(std::function<void(KeyEvent)> deliver) override;
  void Stop() override;

 private:
  void ReadEvents();

  _XDisplay* display_ = nullptr;
  unsigned numLockMask_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void(KeyEvent)> deliver_;
};

}  // namespace tolvar
