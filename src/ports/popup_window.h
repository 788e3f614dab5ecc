// The skinned popups' native windows: what a core popup needs of its
// window, the messages the window forwards to it, and the making of one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/region.h"
#include "ports/canvas.h"
#include "ports/navigation_key.h"

namespace tolvar {

// One item of a popup as a screen reader sees it.
struct PopupItem {
  std::u16string name;
  Rect rect;         // in the popup's coordinates
  bool lit = false;  // hovered: where the mouse or the keyboard is
};

// The messages a native popup forwards to its core window; positions are
// the popup's client coordinates.
class PopupHandlers {
 public:
  virtual ~PopupHandlers() = default;
  virtual void OnMouseMove(int x, int y) = 0;
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonUp(int x, int y) = 0;
  // Paints the whole popup onto `canvas`, which has the window's size.
  virtual void OnPaint(Canvas& canvas, LayerImages& images) = 0;
  // Escape, or the window system's close.
  virtual void OnCancel() = 0;
  // The other keys that move among the popup's items and choose; true when used.
  virtual bool OnNavigationKey(NavigationKey) { return false; }
  // What a screen reader reads: the popup's text (empty: its title) and its items in order.
  virtual std::u16string AccessibleText() const { return {}; }
  virtual std::vector<PopupItem> Items() const { return {}; }
};

class PopupWindow {
 public:
  // Destroys the native window.
  virtual ~PopupWindow() = default;
  virtual void SetTitle(const std::u16string& title) = 0;
  // Places the window at (x, y) of the screen with the given size.
  virtual void Move(int x, int y, int width, int height) = 0;
  // Only the region's pixels belong to the window.
  virtual void SetShape(const Region& region) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Repaints the whole popup.
  virtual void Invalidate() = 0;
  // The top-left corner on the screen.
  virtual Point Origin() const = 0;
  // Shows the window and runs a modal loop, in which the program's other
  // windows get no input, until EndModal; returns EndModal's result.
  virtual int RunModal() = 0;
  virtual void EndModal(int result) = 0;
};

class PopupWindows {
 public:
  virtual ~PopupWindows() = default;
  // A new hidden, frameless popup whose messages go to `handlers`, owned
  // by `owner` (null: by the main window). It never takes the mouse from
  // other windows: a click elsewhere goes where it was made.
  virtual std::unique_ptr<PopupWindow> Create(PopupHandlers& handlers, PopupWindow* owner) = 0;
};

}  // namespace tolvar
