#include "skin/warning_dlg.h"

#include <utility>

#include "skin/fonts.h"
#include "skin/hot_spots.h"
#include "skin/mask_region.h"
#include "skin/popup_keys.h"

namespace tolvar {

namespace {

constexpr Rgb kRed{255, 0, 0};

PaintRect PaintRectOf(const HotSpot& spot) { return {spot.x, spot.y, spot.width, spot.height}; }

}  // namespace

WarningDlg::WarningDlg(const WarningSkinPage& page, std::uint8_t verSel, std::string skinsDir, PopupWindows& windows,
                       ImageFileReader& imageReader)
    : page_(page), verSel_(verSel), skinsDir_(std::move(skinsDir)), windows_(windows), imageReader_(imageReader) {}

int WarningDlg::Run(Point origin) {
  window_ = windows_.Create(*this, nullptr);
  const MaskShape shape = MaskRegion(imageReader_, skinsDir_ + "/warning_mask.jpg");
  width_ = shape.width;
  height_ = shape.height;
  window_->SetShape(shape.region);
  window_->Move(origin.x, origin.y, width_, height_);
  const int result = window_->RunModal();
  window_.reset();
  return result;
}

void WarningDlg::OnMouseMove(int x, int y) {
  int hover = kNone;
  if (page_.Spot(warning_row::kConfirm).Contains(x, y)) {
    hover = kWarningConfirmed;
  } else if (page_.Spot(warning_row::kCancel).Contains(x, y)) {
    hover = kWarningCancelled;
  }
  if (hover == hover_) return;
  hover_ = hover;
  window_->Invalidate();
}

void WarningDlg::OnLButtonDown(int, int) {}

void WarningDlg::OnLButtonUp(int, int) {
  if (hover_ == kWarningConfirmed || hover_ == kWarningCancelled) window_->EndModal(hover_);
}

void WarningDlg::OnCancel() { window_->EndModal(kWarningCancelled); }

bool WarningDlg::OnNavigationKey(NavigationKey key) { return DriveWarning(*this, page_, key); }

std::u16string WarningDlg::AccessibleText() const { return page_.labels[warning_row::kMessage]; }

std::vector<PopupItem> WarningDlg::Items() const {
  return {
      {page_.labels[warning_row::kConfirm], RectOf(page_.Spot(warning_row::kConfirm)), hover_ == kWarningConfirmed},
      {page_.labels[warning_row::kCancel], RectOf(page_.Spot(warning_row::kCancel)), hover_ == kWarningCancelled},
  };
}

void WarningDlg::OnPaint(Canvas& canvas, LayerImages& images) {
  if (const auto normal = images.Load(skinsDir_ + "/warning_normal.jpg"); normal && width_ > 0 && height_ > 0) {
    canvas.CopyFromLayer(*normal, {0, 0, width_, height_});
  }
  if (hover_ == kWarningConfirmed || hover_ == kWarningCancelled) {
    if (const auto over = images.Load(skinsDir_ + "/warning_over.jpg")) {
      canvas.CopyFromLayer(
          *over, PaintRectOf(page_.Spot(hover_ == kWarningConfirmed ? warning_row::kConfirm : warning_row::kCancel)));
    }
  }
  const FontSpec& font = verSel_ != 0 ? kFontEnglish : kFontOther;
  for (int row = warning_row::kTexts.first; row <= warning_row::kTexts.last; ++row) {
    const std::u16string& text = page_.labels[static_cast<std::size_t>(row)];
    if (text.empty()) continue;
    const HotSpot& spot = page_.Spot(row);
    const TextSize size = canvas.MeasureText(text, font);
    canvas.DrawText(spot.x + (spot.width - size.width) / 2, spot.y + (spot.height - size.height) / 2, text, font, kRed);
  }
}

}  // namespace tolvar
