#include "test_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tolvar::testing {

std::unique_ptr<TestWindows> TestWindows::Open() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  return std::unique_ptr<TestWindows>(new TestWindows(display));
}

TestWindows::~TestWindows() { XCloseDisplay(static_cast<Display*>(display_)); }

bool TestWindows::WindowManagerRunning() {
  auto* display = static_cast<Display*>(display_);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                        &format, &count, &after, &data) == Success &&
                     count == 1;
  if (data != nullptr) XFree(data);
  return found;
}

unsigned long TestWindows::Create(const std::string& windowClass, const std::string& instance) {
  auto* display = static_cast<Display*>(display_);
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, WhitePixel(display, 0));
  std::string name = instance;
  std::string cls = windowClass;
  XClassHint hint{name.data(), cls.data()};
  XSetClassHint(display, window, &hint);
  XStoreName(display, window, windowClass.c_str());
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

void TestWindows::Activate(unsigned long window) {
  auto* display = static_cast<Display*>(display_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // from a pager
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(display);
}

}  // namespace tolvar::testing
