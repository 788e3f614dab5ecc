#include "platform/qt/x11_key_capture.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "macros/key_table.h"

namespace tolvar {

namespace {

// X key codes are the kernel's key codes moved up by 8.
constexpr unsigned kKernelKeycodeOffset = 8;

}  // namespace

int VirtualKeyOfKeycode(unsigned keycode, bool numLock) {
  if (keycode < kKernelKeycodeOffset) return 0;
  return VirtualKeyOfPosition(static_cast<int>(keycode - kKernelKeycodeOffset), numLock);
}

X11KeyCapture::X11KeyCapture() = default;

X11KeyCapture::~X11KeyCapture() {
  Stop();
  if (display_ != nullptr) XCloseDisplay(display_);
}

CaptureStart X11KeyCapture::Start(std::function<void(KeyEvent)> deliver) {
  if (notifier_) return CaptureStart::Taken;
  if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return CaptureStart::Unavailable;
  Bool detectable = False;
  XkbSetDetectableAutoRepeat(display_, True, &detectable);
  numLockMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
  const int grabbed =
      XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (grabbed == AlreadyGrabbed || grabbed == GrabFrozen) return CaptureStart::KeyboardBusy;
  if (grabbed != GrabSuccess) return CaptureStart::Unavailable;
  deliver_ = std::move(deliver);
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &X11KeyCapture::ReadEvents);
  ReadEvents();  // events the grab's reply brought along
  return CaptureStart::Taken;
}

void X11KeyCapture::Stop() {
  if (!notifier_) return;
  notifier_.reset();
  deliver_ = nullptr;
  XUngrabKeyboard(display_, CurrentTime);
  XSync(display_, False);  // the keyboard is free for others once Stop returns
}

void X11KeyCapture::ReadEvents() {
  while (display_ != nullptr && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != KeyPress && event.type != KeyRelease) continue;
    const bool numLock = numLockMask_ != 0 && (event.xkey.state & numLockMask_) != 0;
    const int virtualKey = VirtualKeyOfKeycode(event.xkey.keycode, numLock);
    // A key without a code (a multimedia key, say) cannot be played back:
    // it is withheld like every key, but not delivered.
    if (virtualKey != 0 && deliver_) deliver_({event.type == KeyPress, virtualKey});
  }
}

}  // namespace tolvar
