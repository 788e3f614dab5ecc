// KeyCapture through X11: an active grab of the keyboard on the root window
// over a connection of its own, so every key goes to this program alone
// while it is held. Auto-repeat is made detectable, so a held key arrives
// as repeated presses without releases. Under Wayland the program runs
// through XWayland and the grab sees only the keys typed while one of its
// windows has the focus.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "ports/key_capture.h"

struct _XDisplay;

namespace tolvar {

// The virtual-key code of an X key symbol (taken unshifted, so letters are
// lower case); 0 for a key without one.
int VirtualKeyOfKeysym(unsigned long keysym);

class X11KeyCapture final : public QObject, public KeyCapture {
  Q_OBJECT

 public:
  X11KeyCapture();
  ~X11KeyCapture() override;

  bool Start(std::function<void(CapturedKey)> deliver) override;
  void Stop() override;

 private:
  void ReadEvents();

  _XDisplay* display_ = nullptr;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void(CapturedKey)> deliver_;
};

}  // namespace tolvar
