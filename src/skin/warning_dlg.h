// The warning popup, WarningDlg: asked before the last button holding the
// primary click gets another function. Modal and shaped by its mask; row 0
// of its layout confirms, row 1 cancels, row 2 is the message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/geometry.h"
#include "ports/canvas.h"
#include "ports/image_source.h"
#include "ports/popup_window.h"
#include "skin/skin_layout.h"

namespace tolvar {

constexpr int kWarningConfirmed = 1;
constexpr int kWarningCancelled = 2;

class WarningDlg final : public PopupHandlers {
 public:
  WarningDlg(const WarningSkinPage& page, std::uint8_t verSel, std::string skinsDir, PopupWindows& windows,
             ImageFileReader& imageReader);

  // Shapes the popup by its mask, places it at `origin` and runs it
  // modally: returns the button under the cursor when the left button was
  // released over one, kWarningCancelled for Escape or closing.
  int Run(Point origin);

  void OnMouseMove(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnPaint(Canvas& canvas, LayerImages& images) override;
  void OnCancel() override;
  bool OnNavigationKey(NavigationKey key) override;
  std::u16string AccessibleText() const override;
  std::vector<PopupItem> Items() const override;

  int Hover() const { return hover_; }

 private:
  const WarningSkinPage& page_;
  const std::uint8_t verSel_;
  const std::string skinsDir_;
  PopupWindows& windows_;
  ImageFileReader& imageReader_;
  std::unique_ptr<PopupWindow> window_;
  int width_ = 0;
  int height_ = 0;
  int hover_ = kNone;
};

}  // namespace tolvar
