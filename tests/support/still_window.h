// A window for tests and benchmarks of code that only repaints it: every
// other window operation does nothing; repaints are counted and, when a
// hook is set, reported.
#pragma once

#include <atomic>
#include <functional>

#include "ports/window_host.h"

namespace tolvar::testing {

class StillWindow : public WindowHost {
 public:
  void SetTitle(const std::u16string&) override {}
  void Invalidate() override {
    invalidations.fetch_add(1);
    if (onInvalidate) onInvalidate();
  }
  void InvalidateRegion(const Region&) override { Invalidate(); }
  void UpdateNow() override { updates.fetch_add(1); }
  Point ScreenOrigin() const override { return origin; }
  void StartDrag() override { ++drags; }
  void Show() override {}
  void ShowMinimized() override {}
  void Restore() override {}
  void Hide() override {}
  bool IsMinimized() const override { return false; }
  void Destroy() override {}
  void PostToUi(std::function<void()> task) override { task(); }
  void SetShape(const MaskShape&) override {}

  std::function<void()> onInvalidate;
  std::atomic<int> invalidations{0};
  std::atomic<int> updates{0};  // immediate paints asked for
  Point origin;
  int drags = 0;
};

}  // namespace tolvar::testing
