#include "x11_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <functional>

namespace tolvar::testing {

namespace {

// Windows come and go while the tests look at them (other programs share the
// display); a request about a window that has just gone is not an error here.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

int LowestSetBit(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

std::uint8_t Channel(unsigned long value, unsigned long mask) {
  if (mask == 0) return 0;
  const unsigned long field = (value & mask) >> LowestSetBit(mask);
  const unsigned long top = mask >> LowestSetBit(mask);
  return static_cast<std::uint8_t>(field * 255 / top);
}

}  // namespace

struct X11Session::Impl {
  Display* display = nullptr;

  Atom Intern(const char* name) const { return XInternAtom(display, name, False); }

  std::optional<pid_t> PidOf(Window window) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::optional<pid_t> pid;
    if (XGetWindowProperty(display, window, Intern("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && format == 32 && count == 1) {
      pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) XFree(data);
    return pid;
  }

  bool Viewable(Window window) const {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
  }

  std::vector<Window> Children(Window window) const {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> list;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 && children != nullptr) {
      list.assign(children, children + count);
    }
    if (children != nullptr) XFree(children);
    return list;
  }

  // Visits every window below `top`, with the pids of the windows on the way down.
  void Walk(Window top, std::vector<pid_t>& ancestors,
            const std::function<void(Window, const std::vector<pid_t>&)>& visit) const {
    for (Window child : Children(top)) {
      visit(child, ancestors);
      const std::optional<pid_t> pid = PidOf(child);
      ancestors.push_back(pid.value_or(-1));
      Walk(child, ancestors, visit);
      ancestors.pop_back();
    }
  }

  void WalkAll(const std::function<void(Window, const std::vector<pid_t>&)>& visit) const {
    std::vector<pid_t> ancestors;
    Walk(DefaultRootWindow(display), ancestors, visit);
  }
};

X11Session::X11Session(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11Session::~X11Session() {
  if (impl_->display != nullptr) XCloseDisplay(impl_->display);
}

std::unique_ptr<X11Session> X11Session::Open() {
  auto impl = std::make_unique<Impl>();
  impl->display = XOpenDisplay(nullptr);
  if (impl->display == nullptr) return nullptr;
  XSetErrorHandler(IgnoreErrors);
  return std::unique_ptr<X11Session>(new X11Session(std::move(impl)));
}

bool X11Session::SelectionOwned(const std::string& selection) const {
  return XGetSelectionOwner(impl_->display, impl_->Intern(selection.c_str())) != 0;
}

std::vector<XWindowId> X11Session::ViewableWindowsOf(pid_t pid) const {
  std::vector<XWindowId> windows;
  impl_->WalkAll([&](Window window, const std::vector<pid_t>&) {
    if (impl_->PidOf(window) == pid && impl_->Viewable(window)) windows.push_back(window);
  });
  return windows;
}

bool X11Session::KeyboardGrabbable() const {
  const int grabbed = XGrabKeyboard(impl_->display, DefaultRootWindow(impl_->display), False, GrabModeAsync,
                                    GrabModeAsync, CurrentTime);
  XUngrabKeyboard(impl_->display, CurrentTime);
  XSync(impl_->display, False);
  return grabbed == GrabSuccess;
}

void X11Session::CloseAsWindowManager(XWindowId window) const {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = impl_->Intern("WM_PROTOCOLS");
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(impl_->Intern("WM_DELETE_WINDOW"));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(impl_->display, window, False, NoEventMask, &event);
  XFlush(impl_->display);
}

std::optional<XWindowId> X11Session::WindowTitled(pid_t pid, const std::string& title) const {
  for (XWindowId window : ViewableWindowsOf(pid)) {
    if (Title(window) == title) return window;
  }
  return std::nullopt;
}

std::optional<XWindowId> X11Session::WindowEmbeddedIn(pid_t hostPid, pid_t clientPid) const {
  std::optional<XWindowId> found;
  impl_->WalkAll([&](Window window, const std::vector<pid_t>& ancestors) {
    if (found || std::find(ancestors.begin(), ancestors.end(), hostPid) == ancestors.end()) return;
    if (impl_->PidOf(window) == clientPid && impl_->Viewable(window)) found = window;
  });
  return found;
}

std::optional<ScreenRect> X11Session::Geometry(XWindowId window) const {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(impl_->display, window, &attributes) == 0) return std::nullopt;
  int x = 0;
  int y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(impl_->display, window, DefaultRootWindow(impl_->display), 0, 0, &x, &y, &child)) {
    return std::nullopt;
  }
  return ScreenRect{x, y, attributes.width, attributes.height};
}

std::string X11Session::Title(XWindowId window) const {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(impl_->display, window, impl_->Intern("_NET_WM_NAME"), 0, 1024, False,
                         impl_->Intern("UTF8_STRING"), &type, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 8) {
    title.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(impl_->display, window, &name) != 0 && name != nullptr) title = name;
    if (name != nullptr) XFree(name);
  }
  return title;
}

std::vector<std::string> X11Session::WindowTypes(XWindowId window) const {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<std::string> names;
  if (XGetWindowProperty(impl_->display, window, impl_->Intern("_NET_WM_WINDOW_TYPE"), 0, 32, False, XA_ATOM, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      if (char* name = XGetAtomName(impl_->display, atoms[i])) {
        names.emplace_back(name);
        XFree(name);
      }
    }
  }
  if (data != nullptr) XFree(data);
  return names;
}

std::optional<XWindowId> X11Session::TransientFor(XWindowId window) const {
  Window owner = 0;
  if (XGetTransientForHint(impl_->display, window, &owner) == 0 || owner == 0) return std::nullopt;
  return owner;
}

std::optional<WindowImage> X11Session::Capture(XWindowId window) const {
  const std::optional<ScreenRect> place = Geometry(window);
  if (!place) return std::nullopt;
  // The screen's pixels where the window is: what the user sees. The window
  // is raised first so that other tests' windows on the display do not hide it.
  XRaiseWindow(impl_->display, window);
  XSync(impl_->display, False);
  Screen* screen = DefaultScreenOfDisplay(impl_->display);
  const int left = std::max(place->x, 0);
  const int top = std::max(place->y, 0);
  const int right = std::min(place->x + place->width, WidthOfScreen(screen));
  const int bottom = std::min(place->y + place->height, HeightOfScreen(screen));
  if (right <= left || bottom <= top) return std::nullopt;
  XImage* image =
      XGetImage(impl_->display, DefaultRootWindow(impl_->display), left, top, static_cast<unsigned>(right - left),
                static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
  if (image == nullptr) return std::nullopt;
  WindowImage result;
  result.width = place->width;
  result.height = place->height;
  result.pixels.resize(static_cast<std::size_t>(place->width) * place->height);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const unsigned long value = XGetPixel(image, x - left, y - top);
      result.pixels[static_cast<std::size_t>(y - place->y) * place->width + (x - place->x)] = {
          Channel(value, image->red_mask), Channel(value, image->green_mask), Channel(value, image->blue_mask)};
    }
  }
  XDestroyImage(image);
  return result;
}

std::vector<ScreenRect> X11Session::BoundingShape(XWindowId window) const {
  int count = 0;
  int ordering = 0;
  XRectangle* rectangles = XShapeGetRectangles(impl_->display, window, ShapeBounding, &count, &ordering);
  std::vector<ScreenRect> shape;
  for (int i = 0; i < count; ++i) {
    shape.push_back({rectangles[i].x, rectangles[i].y, rectangles[i].width, rectangles[i].height});
  }
  if (rectangles != nullptr) XFree(rectangles);
  return shape;
}

}  // namespace tolvar::testing
