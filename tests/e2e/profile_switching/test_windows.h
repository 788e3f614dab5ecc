// Plain X11 windows of chosen WM_CLASS values, standing in for the windows
// of other applications. Xlib stays inside the .cpp.
#pragma once

#include <memory>
#include <string>

namespace tolvar::testing {

class TestWindows {
 public:
  static std::unique_ptr<TestWindows> Open();  // on DISPLAY; null when it cannot be opened
  ~TestWindows();
  TestWindows(const TestWindows&) = delete;
  TestWindows& operator=(const TestWindows&) = delete;

  // Whether a window manager announces itself (_NET_SUPPORTING_WM_CHECK).
  bool WindowManagerRunning();
  // Maps a window with this class and instance name; returns its id.
  unsigned long Create(const std::string& windowClass, const std::string& instance);
  // Asks the window manager to activate the window, as a pager does
  // (what `xdotool windowactivate` sends), without waiting.
  void Activate(unsigned long window);

 private:
  explicit TestWindows(void* display) : display_(display) {}
  void* display_;
};

}  // namespace tolvar::testing
