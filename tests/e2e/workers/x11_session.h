// The tests' view of the X display: the windows of a process, where they
// are on the screen, their pixels and their shape. Xlib stays inside the
// .cpp (its macros clash with the test framework's names).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvar::testing {

using XWindowId = unsigned long;

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool Contains(int px, int py) const { return x <= px && px < x + width && y <= py && py < y + height; }
};

struct Pixel {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // row by row
  Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class X11Session {
 public:
  // The display named by DISPLAY; nothing when there is none or it cannot be opened.
  static std::unique_ptr<X11Session> Open();
  ~X11Session();
  X11Session(const X11Session&) = delete;
  X11Session& operator=(const X11Session&) = delete;

  // Whether some client owns the selection (for instance "_NET_SYSTEM_TRAY_S0").
  bool SelectionOwned(const std::string& selection) const;

  // Viewable windows anywhere in the tree whose _NET_WM_PID is `pid`.
  std::vector<XWindowId> ViewableWindowsOf(pid_t pid) const;
  // The first viewable window of `pid` titled exactly `title`.
  std::optional<XWindowId> WindowTitled(pid_t pid, const std::string& title) const;
  // The first viewable window of `clientPid` that lies inside a window of `hostPid`
  // (an icon embedded into a tray).
  std::optional<XWindowId> WindowEmbeddedIn(pid_t hostPid, pid_t clientPid) const;

  // The window's place in root coordinates and its size.
  std::optional<ScreenRect> Geometry(XWindowId window) const;
  std::string Title(XWindowId window) const;
  // The names of the window's _NET_WM_WINDOW_TYPE atoms ("_NET_WM_WINDOW_TYPE_DIALOG", ...).
  std::vector<std::string> WindowTypes(XWindowId window) const;
  // The window a dialog or popup belongs to (WM_TRANSIENT_FOR), if any.
  std::optional<XWindowId> TransientFor(XWindowId window) const;
  // The window's pixels as the screen shows them.
  std::optional<WindowImage> Capture(XWindowId window) const;
  // The rectangles of the window's bounding shape, in window coordinates.
  std::vector<ScreenRect> BoundingShape(XWindowId window) const;

  // Whether this client can take the keyboard now (no other client holds
  // it); a keyboard taken is given back at once.
  bool KeyboardGrabbable() const;

  // Asks the window to close as a window manager does (WM_DELETE_WINDOW),
  // for Alt+F4 or the close button of a task bar.
  void CloseAsWindowManager(XWindowId window) const;

 private:
  struct Impl;
  explicit X11Session(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tolvar::testing
