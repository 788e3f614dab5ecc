#include "skin/main_window_painter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <memory>

#include "base/text.h"
#include "config/button_catalogue.h"
#include "skin/fonts.h"
#include "skin/hot_spots.h"

namespace tolvar {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGray{128, 128, 128};

constexpr int kAssignmentTextIndent = 5;

// The preview picture of each cycle colour 2..6 (0 and 1 are the over and
// down images of the page).
constexpr std::array<const char*, 5> kPreviewImages{"/color_pink.jpg", "/color_green.jpg", "/color_red.jpg",
                                                    "/color_cyan.jpg", "/color_white.jpg"};
constexpr const char* kGrayPreviewImage = "/color_normal_gray.jpg";

bool InRange(std::int64_t value, std::int64_t first, std::int64_t last) { return value >= first && value <= last; }

int ClampToInt(std::int64_t value) {
  return static_cast<int>(
      std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

PaintRect RectOfSpot(const HotSpot& spot) { return {spot.x, spot.y, spot.width, spot.height}; }

std::u16string MacroName(const Macro& macro) {
  const auto end = std::find(macro.name.begin(), macro.name.end(), u'\0');
  return std::u16string(macro.name.begin(), end);
}

// Text of one row and how it is drawn.
struct RowText {
  std::u16string text;
  Rgb colour = kBlack;
  const FontSpec* font = nullptr;
  bool leftAligned = false;
};

class PagePainter {
 public:
  PagePainter(const MainWindowView& view, Canvas& canvas, LayerImages& images)
      : view_(view), settings_(view.settings), canvas_(canvas), images_(images), page_(PageOf(view.page)) {}

  void Paint() {
    const PageImageNames names = ImageNamesOf(page_);
    const auto normal = Load(names.normal);
    over_ = Load(names.over);
    down_ = Load(names.down);
    Copy(normal.get(), {0, 0, view_.width, view_.height});

    PaintHover();
    switch (page_) {
      case PageKind::Main:
        PaintMainPage();
        break;
      case PageKind::Advanced:
        PaintAdvancedPage();
        break;
      case PageKind::Colour:
        PaintColourPage();
        break;
    }
    PaintHeader();
    PaintTexts();
    if (view_.focusMark) PaintFocusMark(*view_.focusMark);
  }

 private:
  std::shared_ptr<const LayerImage> Load(const char* name) { return images_.Load(view_.skinsDir + name); }

  void Copy(const LayerImage* layer, const PaintRect& rect) {
    if (layer != nullptr && rect.width > 0 && rect.height > 0) canvas_.CopyFromLayer(*layer, rect);
  }
  void Fill(const PaintRect& rect, Rgb colour) {
    if (rect.width > 0 && rect.height > 0) canvas_.FillRect(rect, colour);
  }

  template <std::size_t N>
  void CopyRow(const std::shared_ptr<const LayerImage>& layer, const SkinPage<N>& page, int row) {
    Copy(layer.get(), RectOfSpot(page.Spot(row)));
  }
  void CopyMain(const std::shared_ptr<const LayerImage>& layer, int row) { CopyRow(layer, view_.skin.Main, row); }

  int HoverOfPage() const {
    switch (page_) {
      case PageKind::Advanced:
        return view_.hoverAdvanced;
      case PageKind::Colour:
        return view_.hoverColour;
      case PageKind::Main:
        break;
    }
    return view_.hoverMain;
  }

  void PaintHover() {
    const int h = HoverOfPage();
    if (h == kNone) return;
    const bool barKeepsItsDrawing = page_ == PageKind::Advanced && h == advanced_row::kFireTimeBar;
    const auto& layer = view_.pressed ? down_ : over_;
    if (view_.pressed && barKeepsItsDrawing) return;
    switch (page_) {
      case PageKind::Main:
        CopyMain(layer, h);
        break;
      case PageKind::Advanced:
        CopyRow(layer, view_.skin.Advanced, h);
        break;
      case PageKind::Colour:
        CopyRow(layer, view_.skin.Colour, h);
        break;
    }
  }

  bool AssignmentHovered() const { return main_row::kAssignments.Contains(view_.hoverMain); }
  void CopyAssignmentHover() {
    if (AssignmentHovered()) CopyMain(over_, view_.hoverMain + main_row::kAssignmentHoverOffset);
  }

  void PaintMainPage() {
    const std::int32_t level = settings_.DPI_LEVEL;
    if (InRange(level, 0, kDpiLevelCount - 1)) CopyMain(down_, main_row::kLevelSelectors.Row(level));
    CopyAssignmentHover();
    const MainSkinPage& page = view_.skin.Main;
    for (int i = 0; i < kDpiLevelCount; ++i) {
      const Rgb colour = settings_.DisplayColour[static_cast<std::size_t>(i)];
      Fill(RectOfSpot(page.Spot(main_row::kLevelColours.Row(i))), colour);
      const int lastCell = settings_.SelectedValueHotSpot[static_cast<std::size_t>(i)];
      for (int row = main_row::kDpiCells.Row(kDpiStepCount * i); row <= lastCell; ++row) {
        const HotSpot& cell = page.Spot(row);
        Fill({cell.x + 1, cell.y + 1, cell.width - 2, cell.height - 1}, colour);
      }
      if (settings_.DPI_SET_EN[static_cast<std::size_t>(i)]) CopyMain(down_, main_row::kLevelEnables.Row(i));
      CopyAssignmentHover();
    }
    CopyMain(down_, settings_.WHEEL_STATUS != 0 ? main_row::kWheelOn : main_row::kWheelOff);
  }

  const Macro* SelectedMacro() const {
    if (!InRange(view_.selectedMacro, 0, kMacroTableSlots - 1)) return nullptr;
    return &view_.userMacros.slots[static_cast<std::size_t>(view_.selectedMacro)];
  }

  void PaintAdvancedPage() {
    const AdvancedSkinPage& page = view_.skin.Advanced;
    if (view_.recording) CopyRow(down_, page, advanced_row::kRecord);
    if (settings_.DPI_SPEED < advanced_row::kPointerSpeeds.Count()) {
      CopyRow(down_, page, advanced_row::kPointerSpeeds.Row(settings_.DPI_SPEED));
    }
    if (settings_.WHEEL_SPEED < advanced_row::kWheelSpeeds.Count()) {
      CopyRow(down_, page, advanced_row::kWheelSpeeds.Row(settings_.WHEEL_SPEED));
    }
    if (settings_.USB_SPEED < advanced_row::kReportRates.Count()) {
      CopyRow(down_, page, advanced_row::kReportRates.Row(settings_.USB_SPEED));
    }

    // The bar's left part in proportion to FIRE_TIME; a value beyond the
    // range fills the bar (or nothing of it), never more than the row.
    const HotSpot& bar = page.Spot(advanced_row::kFireTimeBar);
    const std::int64_t fireTime = std::clamp<std::int32_t>(settings_.FIRE_TIME, 0, kFireTimeMax);
    Copy(down_.get(), {bar.x, bar.y, ClampToInt(std::int64_t{bar.width} * fireTime / kFireTimeMax), bar.height});

    if (const Macro* macro = SelectedMacro()) {
      if (macro->mode & kHeldModeBit) CopyRow(down_, page, advanced_row::kHeldMode);
      if (macro->mode & kRepeatModeBit) CopyRow(down_, page, advanced_row::kRepeatMode);
    }
  }

  void PaintColourPage() {
    const ColourSkinPage& page = view_.skin.Colour;
    const std::uint8_t ledType = settings_.LED_TYPE;
    if (ledType < colour_row::kLedTypes.Count()) CopyRow(down_, page, colour_row::kLedTypes.Row(ledType));
    const std::uint8_t cycleTime = settings_.LED_CYC_TIME;
    // LED_CYC_TIME t is row 16 − t.
    if (ledType <= 1 && cycleTime < colour_row::kCycleSpeeds.Count()) {
      CopyRow(down_, page, colour_row::kCycleSpeeds.last - cycleTime);
    }
    for (int k = 0; k < kCycleColourCount; ++k) {
      if (settings_.CYC_7COL_EN[static_cast<std::size_t>(k)]) CopyRow(down_, page, k);
    }

    if (view_.previewGray) {
      CopyRow(Load(kGrayPreviewImage), page, colour_row::kPreview);
      return;
    }
    const std::uint8_t colour = view_.previewColour;
    if (colour == 0) {
      CopyRow(over_, page, colour_row::kPreview);
    } else if (colour == 1) {
      CopyRow(down_, page, colour_row::kPreview);
    } else if (colour - 2u < kPreviewImages.size()) {
      CopyRow(Load(kPreviewImages[colour - 2u]), page, colour_row::kPreview);
    }
  }

  void PaintHeader() {
    const int tabRow = main_row::kTabs.first + static_cast<int>(page_ == PageKind::Main       ? 0
                                                                : page_ == PageKind::Advanced ? 1
                                                                                              : 2);
    for (int i = main_row::kHeader.first; i <= main_row::kHeader.last; ++i) {
      if (i == std::int64_t{view_.curConfig} + main_row::kProfiles.first - 1) {
        CopyMain(down_, i);
      } else if (i == view_.hoverMain) {
        CopyMain(view_.pressed ? down_ : over_, i);
      } else if (i == tabRow) {
        CopyMain(down_, i);
      } else if ((i == main_row::kOtherLanguage && view_.verSel == 0) ||
                 (i == main_row::kEnglish && view_.verSel == 1)) {
        CopyMain(down_, i);
      }
    }
  }

  const FontSpec& TextFont() const { return view_.verSel != 0 ? kFontEnglish : kFontOther; }

  void Draw(const HotSpot& spot, const RowText& row) {
    if (row.text.empty()) return;
    const FontSpec& font = row.font != nullptr ? *row.font : TextFont();
    const TextSize size = canvas_.MeasureText(row.text, font);
    const int x = row.leftAligned ? ClampToInt(std::int64_t{spot.x} + kAssignmentTextIndent)
                                  : ClampToInt(spot.x + (std::int64_t{spot.width} - size.width) / 2);
    const int y = ClampToInt(spot.y + (std::int64_t{spot.height} - size.height) / 2);
    canvas_.DrawText(x, y, row.text, font, row.colour);
  }

  RowText MainRowText(int row, bool mainPage) const {
    RowText text{view_.skin.Main.labels[static_cast<std::size_t>(row)]};
    if (row == main_row::kYellowLabel) text.colour = kYellow;
    if (!mainPage) return text;
    if (main_row::kAssignments.Contains(row)) {
      text.text = AssignmentLabel(view_.skin.FunctionLabels, view_.userMacros,
                                  settings_.K[static_cast<std::size_t>(row - main_row::kAssignments.first)]);
      text.colour = row == view_.hoverMain ? kRed : kBlack;
      text.leftAligned = true;
    } else if (main_row::kWhiteTexts.Contains(row)) {
      text.colour = kWhite;
    } else if (main_row::kLevelNames.Contains(row)) {
      text.font = view_.verSel != 0 ? &kFontEnglishSmall : &kFontOther;
      text.colour = settings_.DPI_SET_EN[static_cast<std::size_t>(row - main_row::kLevelNames.first)] ? kRed : kGray;
    }
    return text;
  }

  std::u16string RecordButtonText() const {
    if (view_.verSel != 0) return view_.recording ? u"Stop" : u"Record";
    return view_.recording ? u"멈춤" : u"저장";
  }

  RowText AdvancedRowText(int row) {
    auto& labels = view_.skin.Advanced.labels;
    if (row == advanced_row::kRecord) labels[advanced_row::kRecord] = RecordButtonText();
    if (row == advanced_row::kPressCount) labels[advanced_row::kPressCount] = u"[↓]" + DecimalText(view_.pressCount);
    if (row == advanced_row::kReleaseCount)
      labels[advanced_row::kReleaseCount] = u"[↑]" + DecimalText(view_.releaseCount);
    RowText text{labels[static_cast<std::size_t>(row)]};
    if (advanced_row::kWhiteTexts.Contains(row)) text.colour = kWhite;
    if (row == view_.hoverAdvanced) text.colour = kRed;
    return text;
  }

  std::u16string CurrentLevelDpiText() const {
    const std::int32_t level = settings_.DPI_LEVEL;
    if (!InRange(level, 0, kDpiLevelCount - 1)) return {};
    return DecimalText(DpiStepFor(settings_.DPI_SET[static_cast<std::size_t>(level)]).dpi);
  }

  RowText ColourRowText(int row) const {
    RowText text{view_.skin.Colour.labels[static_cast<std::size_t>(row)]};
    if (row == colour_row::kDpiValue) {
      text.text = CurrentLevelDpiText();
      text.colour = view_.hoverColour == colour_row::kDpiValue ? kRed : kWhite;
    } else if (colour_row::kWhiteTexts.Contains(row)) {
      text.colour = kWhite;
    }
    return text;
  }

  void PaintTexts() {
    const bool mainPage = page_ == PageKind::Main;
    const RowRange mainTexts = mainPage ? main_row::kTexts : main_row::kHeaderTexts;
    for (int row = mainTexts.first; row <= mainTexts.last; ++row)
      Draw(view_.skin.Main.Spot(row), MainRowText(row, mainPage));
    if (page_ == PageKind::Advanced) {
      for (int row = advanced_row::kTexts.first; row <= advanced_row::kTexts.last; ++row)
        Draw(view_.skin.Advanced.Spot(row), AdvancedRowText(row));
    } else if (page_ == PageKind::Colour) {
      for (int row = colour_row::kTexts.first; row <= colour_row::kTexts.last; ++row)
        Draw(view_.skin.Colour.Spot(row), ColourRowText(row));
    }
  }

  // A frame two pixels wide inside the control, in the red the skin lights hovered labels with.
  void PaintFocusMark(const PaintRect& r) {
    constexpr int kLine = 2;
    Fill({r.x, r.y, r.width, kLine}, kRed);
    Fill({r.x, r.y + r.height - kLine, r.width, kLine}, kRed);
    Fill({r.x, r.y, kLine, r.height}, kRed);
    Fill({r.x + r.width - kLine, r.y, kLine, r.height}, kRed);
  }

  const MainWindowView& view_;
  const ProfileSettings& settings_;
  Canvas& canvas_;
  LayerImages& images_;
  const PageKind page_;
  std::shared_ptr<const LayerImage> over_;
  std::shared_ptr<const LayerImage> down_;
};

}  // namespace

PageImageNames ImageNamesOf(PageKind page) {
  switch (page) {
    case PageKind::Advanced:
      return {"/advanced_normal.jpg", "/advanced_over.jpg", "/advanced_down.jpg"};
    case PageKind::Colour:
      return {"/color_normal_gray.jpg", "/color_over_yellow.jpg", "/color_down_blue.jpg"};
    case PageKind::Main:
      break;
  }
  return {"/main_normal.jpg", "/main_over.jpg", "/main_down.jpg"};
}

std::u16string AssignmentLabel(const FunctionLabelTable& labels, const UserMacroTable& macros, std::int32_t code) {
  const LabelSource source = LabelSourceFor(code);
  switch (source.kind) {
    case LabelKind::FunctionLabel:
      return FunctionLabel(labels, source.index);
    case LabelKind::UserMacroName:
      if (InRange(source.index, 0, kMacroTableSlots - 1)) {
        return MacroName(macros.slots[static_cast<std::size_t>(source.index)]);
      }
      break;
    case LabelKind::None:
      break;
  }
  return {};
}

void PaintMainWindow(const MainWindowView& view, Canvas& canvas, LayerImages& images) {
  PagePainter(view, canvas, images).Paint();
}

}  // namespace tolvar
