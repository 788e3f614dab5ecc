// What a core window needs of its native window.
#pragma once

#include <functional>
#include <string>

#include "base/geometry.h"
#include "base/region.h"

namespace tolvar {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual void SetTitle(const std::u16string& title) = 0;
  // Repaints the whole window. Safe to call from any thread: the repaint
  // is posted to the user-interface thread.
  virtual void Invalidate() = 0;
  // Repaints the region's part of the window (user-interface thread).
  virtual void InvalidateRegion(const Region& region) = 0;
  // Paints what is due at once instead of when the event loop gets to it.
  virtual void UpdateNow() = 0;
  // The window's top-left corner on the screen.
  virtual Point ScreenOrigin() const = 0;
  // Moves the window with the mouse while the left button stays down, as
  // dragging a title bar does (called from a left-button press).
  virtual void StartDrag() = 0;
  virtual void Show() = 0;
  virtual void ShowMinimized() = 0;
  virtual void Restore() = 0;
  virtual void Hide() = 0;
  virtual bool IsMinimized() const = 0;
  // Destroys the window; the program ends when its event loop returns.
  virtual void Destroy() = 0;
  // Runs `task` on the user-interface thread. Safe to call from any thread.
  virtual void PostToUi(std::function<void()> task) = 0;
  // Gives the window the shape and size of its mask: frameless, only the
  // shape's pixels belong to the window.
  virtual void SetShape(const MaskShape& shape) = 0;
};

}  // namespace tolvar
