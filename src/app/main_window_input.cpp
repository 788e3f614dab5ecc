// The main window's mouse: which hot spot lies under the cursor, the press
// tables of the three pages, the release table of the header, the page
// switches and the function popups.
#include <array>
#include <span>

#include "app/apply_settings.h"
#include "app/colour_preview.h"
#include "app/guide_page.h"
#include "app/main_window.h"
#include "app/save_failure.h"
#include "app/state_loading.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "skin/hot_spots.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

// Which hover value a press row tests: the main list, the list of the page
// shown, or both at once being none (the drag rows).
enum class Hover { Main, Page, Neither };

struct PressRow {
  Hover hover;
  RowRange rows;
  void (CTolvarDlg::*action)(int index, Point click);  // index = hover value − rows.first
};

struct ReleaseRow {
  RowRange rows;
  void (CTolvarDlg::*action)(int index);  // index = main row − rows.first
};

constexpr RowRange One(int row) { return {row, row}; }
constexpr RowRange kNoRow = One(kNone);

}  // namespace

struct CTolvarDlg::PressTables {
  static constexpr PressRow kMain[] = {
      {Hover::Main, One(main_row::kAdvancedTab), &CTolvarDlg::OpenAdvancedPage},
      {Hover::Main, One(main_row::kColourTab), &CTolvarDlg::OpenColourPage},
      {Hover::Main, main_row::kAssignments, &CTolvarDlg::ChooseButtonFunction},
      {Hover::Main, main_row::kWheel, &CTolvarDlg::SetWheel},
      {Hover::Main, main_row::kLevelColours, &CTolvarDlg::ChooseLevelColour},
      {Hover::Main, main_row::kLevelEnables, &CTolvarDlg::ToggleLevel},
      {Hover::Main, main_row::kLevelSelectors, &CTolvarDlg::SelectLevel},
      {Hover::Main, main_row::kDpiCells, &CTolvarDlg::SelectValue},
      {Hover::Main, kNoRow, &CTolvarDlg::Drag},
  };
  static constexpr PressRow kAdvanced[] = {
      {Hover::Main, One(main_row::kMainTab), &CTolvarDlg::ShowMainPage},
      {Hover::Main, One(main_row::kColourTab), &CTolvarDlg::OpenColourPage},
      {Hover::Page, advanced_row::kMacroCommands, &CTolvarDlg::MacroCommand},
      {Hover::Page, advanced_row::kPointerSpeeds, &CTolvarDlg::SetPointerSpeed},
      {Hover::Page, advanced_row::kWheelSpeeds, &CTolvarDlg::SetWheelLines},
      {Hover::Page, One(advanced_row::kFireTimeBar), &CTolvarDlg::SetFireTimeFromBar},
      {Hover::Page, One(advanced_row::kRaiseFireTime), &CTolvarDlg::RaiseFireTime},
      {Hover::Page, One(advanced_row::kLowerFireTime), &CTolvarDlg::LowerFireTime},
      {Hover::Page, advanced_row::kReportRates, &CTolvarDlg::SetReportRate},
      {Hover::Neither, kNoRow, &CTolvarDlg::Drag},
  };
  static constexpr PressRow kColour[] = {
      {Hover::Main, One(main_row::kMainTab), &CTolvarDlg::ShowMainPage},
      {Hover::Main, One(main_row::kAdvancedTab), &CTolvarDlg::OpenAdvancedPage},
      {Hover::Page, colour_row::kCycleColours, &CTolvarDlg::ToggleCycle},
      {Hover::Page, colour_row::kLedTypes, &CTolvarDlg::SetLighting},
      {Hover::Page, colour_row::kCycleSpeeds, &CTolvarDlg::SetCycleSpeed},
      {Hover::Neither, kNoRow, &CTolvarDlg::Drag},
  };
  // The header's rows act on release, on every page.
  static constexpr ReleaseRow kHeader[] = {
      {One(main_row::kSave), &CTolvarDlg::SaveCurrentProfile},
      {One(main_row::kHide), &CTolvarDlg::HideDroppingEdits},
      {One(main_row::kApply), &CTolvarDlg::ApplyFromHeader},
      {main_row::kProfiles, &CTolvarDlg::ChooseProfile},
      {One(main_row::kMinimise), &CTolvarDlg::Minimise},
      {One(main_row::kToTray), &CTolvarDlg::HideToTray},
      {One(main_row::kImportProfile), &CTolvarDlg::ImportProfile},
      {One(main_row::kExportProfile), &CTolvarDlg::ExportProfile},
      {One(main_row::kReset), &CTolvarDlg::ResetProfiles},
      {RowRange{main_row::kOtherLanguage, main_row::kEnglish}, &CTolvarDlg::ChooseLanguage},
      {One(main_row::kGuide), &CTolvarDlg::OpenGuide},
  };
};

bool CTolvarDlg::GiveToPopup(int x, int y, bool release) {
  if (!menu_) return false;
  const Point origin = ports_.window.ScreenOrigin();
  const Point screen{origin.x + x, origin.y + y};
  return release ? menu_->OnHeldPointerUp(screen) : menu_->OnHeldPointerMove(screen);
}

void CTolvarDlg::OnMouseMove(int x, int y) {
  if (GiveToPopup(x, y, false)) return;
  const SkinLayout& skin = state_.Skin;
  const bool mainPage = state_.CurrentPage == kMainPage;
  const std::uint8_t ledType = state_.Settings.LED_TYPE;
  view_.HoverMain = skin.Main.RowAt(x, y, (mainPage ? main_row::kTested : main_row::kHeader).Count());
  view_.HoverColour = skin.Colour.RowAt(x, y, colour_row::TestedRows(ledType).Count());
  view_.HoverAdvanced = skin.Advanced.RowAt(x, y, advanced_row::kTested.Count());

  const std::array<int, 3> hover{view_.HoverMain, view_.HoverColour, view_.HoverAdvanced};
  if (hover == view_.LastHover) return;
  view_.LastHover = hover;
  // One repaint for the move, whichever of the three values changed.
  ports_.window.InvalidateRegion(state_.CurrentPage == kAdvancedPage
                                     ? state_.ControlFreeRegion
                                     : Region(Rect{0, 0, state_.MaskWidth, state_.MaskHeight}));
  ports_.window.UpdateNow();
}

void CTolvarDlg::OnLButtonDown(int x, int y) {
  view_.Focus.shown = false;  // the focus mark is for keyboard users only
  if (view_.HoverMain != kNone || view_.HoverColour != kNone || view_.HoverAdvanced != kNone) {
    view_.Pressed = true;
    ports_.window.Invalidate();
  }
  std::span<const PressRow> table = PressTables::kMain;
  int pageHover = view_.HoverMain;
  switch (PageOf(state_.CurrentPage)) {
    case PageKind::Main:
      menu_.reset();  // a press on the main page closes the function popup
      break;
    case PageKind::Advanced:
      table = PressTables::kAdvanced;
      pageHover = view_.HoverAdvanced;
      break;
    case PageKind::Colour:
      table = PressTables::kColour;
      pageHover = view_.HoverColour;
      break;
  }
  for (const PressRow& row : table) {
    int value = kNone;
    switch (row.hover) {
      case Hover::Main:
        value = view_.HoverMain;
        break;
      case Hover::Page:
        value = pageHover;
        break;
      case Hover::Neither:
        value = pageHover == kNone && view_.HoverMain == kNone ? kNone : -1;
        break;
    }
    if (row.rows.Contains(value)) {
      (this->*row.action)(value - row.rows.first, {x, y});
      return;
    }
  }
}

void CTolvarDlg::OnLButtonUp(int x, int y) {
  view_.Pressed = false;
  ports_.window.Invalidate();
  if (GiveToPopup(x, y, true)) return;
  for (const ReleaseRow& release : PressTables::kHeader) {
    if (release.rows.Contains(view_.HoverMain)) {
      (this->*release.action)(view_.HoverMain - release.rows.first);
      return;
    }
  }
}

// ---- Header ----

void CTolvarDlg::SaveCurrentProfile(int) { model_.Save(); }

// Hide: unapplied edits are dropped, the DPI level the mouse uses stays.
void CTolvarDlg::HideDroppingEdits(int) {
  view_.HoverMain = kNone;
  model_.DropUnappliedEdits();
  commands_.HideToTray();
}

void CTolvarDlg::ApplyFromHeader(int) { model_.Apply(); }

// Row 4 is profile 1.
void CTolvarDlg::ChooseProfile(int index) { model_.ChooseProfile(index + 1); }

void CTolvarDlg::Minimise(int) {
  view_.HoverMain = kNone;
  ports_.window.PostToUi([this] { OnSysCommand(kScMinimize); });
}

void CTolvarDlg::HideToTray(int) {
  view_.HoverMain = kNone;
  commands_.HideToTray();
}

void CTolvarDlg::ImportProfile(int) { model_.ImportProfile(); }

void CTolvarDlg::ExportProfile(int) { model_.ExportProfile(); }

void CTolvarDlg::ResetProfiles(int) { model_.ResetProfiles(); }

// The other language's row chooses it (VER_SEL 0), the English row English.
void CTolvarDlg::ChooseLanguage(int index) { model_.SetLanguage(index == 1 ? 1 : 0); }

void CTolvarDlg::OpenGuide(int) { ports_.desktop.OpenPage(GuidePagePath(state_.Paths.ModuleDir, state_.VER_SEL)); }

void CTolvarDlg::OnPaint() {
  if (view_.Popups.CloseMenuRequest || (menu_ && menu_->Closed())) {
    view_.Popups.CloseMenuRequest = false;
    menu_.reset();
  }
}

// ---- Pages ----

void CTolvarDlg::OpenAdvancedPage(int, Point) {
  state_.CurrentPage = kAdvancedPage;
  ports_.window.InvalidateRegion(state_.ControlFreeRegion);
  macroPage_.OpenControls();
  ports_.window.UpdateNow();
}

void CTolvarDlg::OpenColourPage(int, Point) {
  macroPage_.CloseControls();
  state_.CurrentPage = kColourPage;
  StartColourPreview(state_, ports_.window, ports_.clock);
  ports_.window.Invalidate();
}

void CTolvarDlg::ShowMainPage(int, Point) {
  macroPage_.CloseControls();
  state_.CurrentPage = kMainPage;
  ports_.window.Invalidate();
}

void CTolvarDlg::Drag(int, Point) { ports_.window.StartDrag(); }

// ---- Main page ----

void CTolvarDlg::ChooseButtonFunction(int button, Point) {
  PopupState& popups = view_.Popups;
  const HotSpot& spot = state_.Skin.Main.Spot(main_row::kAssignments.Row(button));
  const Point window = ports_.window.ScreenOrigin();
  popups.EditedButton = main_row::kAssignments.Row(button);
  popups.PopupOrigin = {window.x + spot.x, window.y + spot.y + spot.height};
  if (NoOtherButtonHasPrimaryClick(state_.Settings, button)) {
    WarningDlg warning(state_.Skin.Warning, state_.VER_SEL, state_.Paths.SkinsDir, ports_.popups, ports_.images);
    if (warning.Run(popups.PopupOrigin) == kWarningCancelled) return;
  }
  menu_ = std::make_unique<CMenuDlg>(PopupContext{
      .state = view_.Popups,
      .settings = state_.Settings,
      .labels = state_.Skin.FunctionLabels,
      .userMacros = state_.UserMacros,
      .verSel = state_.VER_SEL,
      .skinsDir = state_.Paths.SkinsDir,
      .windows = ports_.popups,
      .imageReader = ports_.images,
      .afterChoice = [this] { ports_.window.Invalidate(); },
  });
}

void CTolvarDlg::SetWheel(int status, Point) { SetWheelStatus(state_.Settings, status); }

void CTolvarDlg::ChooseLevelColour(int level, Point) {
  if (const std::optional<Rgb> colour = ports_.desktop.ChooseColour(Rgb{0, 0, 0})) {
    SetLevelColour(state_.Settings, level, colour->r, colour->g, colour->b);
  }
  ports_.window.Invalidate();
}

void CTolvarDlg::ToggleLevel(int level, Point) { ToggleDpiLevel(state_.Settings, level); }

void CTolvarDlg::SelectLevel(int level, Point) { SelectDpiLevel(state_.Settings, level); }

void CTolvarDlg::SelectValue(int cell, Point) {
  SelectDpiValue(state_.Settings, cell / kDpiStepCount, static_cast<std::uint8_t>(cell % kDpiStepCount));
}

// ---- Advanced page ----

// Advanced rows 0..7, in their order.
void CTolvarDlg::MacroCommand(int index, Point) {
  static constexpr void (MacroPage::*kCommands[])() = {
      &MacroPage::ImportMacros,    &MacroPage::ExportMacros, &MacroPage::AddMacro,         &MacroPage::DeleteMacro,
      &MacroPage::ToggleRecording, &MacroPage::SaveMacros,   &MacroPage::ToggleRepeatMode, &MacroPage::ToggleHeldMode,
  };
  static_assert(std::size(kCommands) == static_cast<std::size_t>(advanced_row::kMacroCommands.Count()));
  (macroPage_.*kCommands[index])();
}

void CTolvarDlg::SetPointerSpeed(int speed, Point) { SetDpiSpeed(state_.Settings, static_cast<std::uint8_t>(speed)); }

void CTolvarDlg::SetWheelLines(int speed, Point) { SetWheelSpeed(state_.Settings, static_cast<std::uint8_t>(speed)); }

void CTolvarDlg::SetFireTimeFromBar(int, Point click) {
  const HotSpot& bar = state_.Skin.Advanced.Spot(advanced_row::kFireTimeBar);
  SetFireTimeFromSlider(state_.Settings, click.x, bar.x, bar.width);
  ports_.window.Invalidate();
}

void CTolvarDlg::RaiseFireTime(int, Point) {
  StepFireTime(state_.Settings, +1);
  ports_.window.Invalidate();
}

void CTolvarDlg::LowerFireTime(int, Point) {
  StepFireTime(state_.Settings, -1);
  ports_.window.Invalidate();
}

void CTolvarDlg::SetReportRate(int speed, Point) { SetUsbSpeed(state_.Settings, static_cast<std::uint8_t>(speed)); }

// ---- Colour page ----

void CTolvarDlg::ToggleCycle(int colour, Point) { ToggleCycleColour(state_.Settings, colour); }

void CTolvarDlg::SetLighting(int ledType, Point) { SetLedType(state_.Settings, static_cast<std::uint8_t>(ledType)); }

// Row 11 is the fastest (5), row 16 the slowest (0).
void CTolvarDlg::SetCycleSpeed(int index, Point) {
  SetLedCycleTime(state_.Settings, static_cast<std::uint8_t>(5 - index));
}

}  // namespace tolvar
