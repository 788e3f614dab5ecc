#include "platform/qt/x11_active_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tolvar {

namespace {

// A window can vanish between the notice and the questions about it; its
// errors are expected and must not end the program (Xlib's default).
int IgnoreError(Display*, XErrorEvent*) { return 0; }

class ExpectedErrors {
 public:
  explicit ExpectedErrors(Display* display) : display_(display), previous_(XSetErrorHandler(IgnoreError)) {}
  ~ExpectedErrors() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }
  ExpectedErrors(const ExpectedErrors&) = delete;
  ExpectedErrors& operator=(const ExpectedErrors&) = delete;

 private:
  Display* display_;
  XErrorHandler previous_;
};

// The 32-bit items of a window property (longs in Xlib's format).
std::vector<unsigned long> WindowList(Display* display, Window window, Atom property, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> items;
  if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    if (actualType == type && format == 32) {
      const auto* values = reinterpret_cast<const unsigned long*>(data);
      items.assign(values, values + count);
    }
    XFree(data);
  }
  return items;
}

std::string ProgramFileOf(unsigned long pid) {
  if (pid == 0) return {};
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  return error ? std::string() : program.filename().string();
}

}  // namespace

X11ActiveWindow::X11ActiveWindow() = default;

X11ActiveWindow::~X11ActiveWindow() {
  notifier_.reset();
  if (display_ != nullptr) XCloseDisplay(display_);
}

bool X11ActiveWindow::Start(std::function<void(const WindowIdentity&)> deliver) {
  if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return false;
  deliver_ = std::move(deliver);
  activeAtom_ = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
  XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
  XFlush(display_);
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &X11ActiveWindow::ReadEvents);
  DeliverActive();
  ReadEvents();
  return true;
}

// The questions about a window read the socket too and may queue events
// that no socket notice will announce: the queue is read until it stays empty.
void X11ActiveWindow::ReadEvents() {
  for (;;) {
    bool changed = false;
    while (display_ != nullptr && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == PropertyNotify && event.xproperty.atom == activeAtom_) changed = true;
    }
    if (!changed) return;
    DeliverActive();
  }
}

void X11ActiveWindow::DeliverActive() {
  const std::vector<unsigned long> active = WindowList(display_, DefaultRootWindow(display_), activeAtom_, XA_WINDOW);
  const unsigned long window = active.empty() ? 0 : active.front();
  // The property is rewritten with the same window now and then.
  if (window == 0 || window == lastActive_) return;
  lastActive_ = window;
  // The program's own windows (its window, the rules dialog) ask for nothing.
  if (OwnerPid(window) == static_cast<unsigned long>(getpid())) return;
  if (deliver_) deliver_(IdentityOf(window));
}

WindowIdentity X11ActiveWindow::IdentityOf(unsigned long window) {
  const ExpectedErrors expected(display_);
  WindowIdentity identity;
  XClassHint hint{nullptr, nullptr};
  if (XGetClassHint(display_, window, &hint) != 0) {
    if (hint.res_name != nullptr) identity.wmInstance = hint.res_name;
    if (hint.res_class != nullptr) identity.wmClass = hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
  }
  identity.programFile = ProgramFileOf(OwnerPid(window));
  return identity;
}

unsigned long X11ActiveWindow::OwnerPid(unsigned long window) {
  const ExpectedErrors expected(display_);
  const std::vector<unsigned long> pid =
      WindowList(display_, window, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL);
  return pid.empty() ? 0 : pid.front();
}

std::vector<WindowIdentity> X11ActiveWindow::OpenWindows() {
  std::vector<WindowIdentity> windows;
  if (display_ == nullptr) return windows;
  for (const unsigned long window :
       WindowList(display_, DefaultRootWindow(display_), XInternAtom(display_, "_NET_CLIENT_LIST", False), XA_WINDOW)) {
    windows.push_back(IdentityOf(window));
  }
  ReadEvents();  // events that arrived with the replies
  return windows;
}

}  // namespace tolvar
