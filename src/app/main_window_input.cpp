// The main window's mouse: which hot spot lies under the cursor, the press
// tables of the three pages, the release table of the header, the page
// switches and the function popups.
#include <array>
#include <span>

#include "app/apply_settings.h"
#include "app/colour_preview.h"
#include "app/main_window.h"
#include "app/save_failure.h"
#include "app/state_loading.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "skin/pages.h"

namespace tolvar {

namespace {

constexpr int kMainTestedRows = 150;        // main rows 0..149 on the main page
constexpr int kHeaderRows = 20;             // main rows 0..19 on the other pages
constexpr int kColourTestedRows = 18;       // colour rows 0..17 while LED_TYPE is 0 or 1
constexpr int kColourTestedRowsOther = 12;  // colour rows 0..11 otherwise
constexpr int kAdvancedTestedRows = 38;     // advanced rows 0..37
constexpr int kAppliedProfile = 6;
constexpr int kFireTimeRow = 30;

// Which hover value a press row tests: the main list, the list of the page
// shown, or both at once being none (the drag rows).
enum class Hover { Main, Page, Neither };

struct PressRow {
  Hover hover;
  int first;
  int last;
  void (CTolvarDlg::*action)(int index, Point click);  // index = hover value − first
};

}  // namespace

struct CTolvarDlg::PressTables {
  static constexpr PressRow kMain[] = {
      {Hover::Main, 10, 10, &CTolvarDlg::OpenAdvancedPage},     {Hover::Main, 11, 11, &CTolvarDlg::OpenColourPage},
      {Hover::Main, 20, 25, &CTolvarDlg::ChooseButtonFunction}, {Hover::Main, 32, 33, &CTolvarDlg::SetWheel},
      {Hover::Main, 41, 46, &CTolvarDlg::ChooseLevelColour},    {Hover::Main, 47, 52, &CTolvarDlg::ToggleLevel},
      {Hover::Main, 60, 65, &CTolvarDlg::SelectLevel},          {Hover::Main, 66, 137, &CTolvarDlg::SelectValue},
      {Hover::Main, kNone, kNone, &CTolvarDlg::Drag},
  };
  static constexpr PressRow kAdvanced[] = {
      {Hover::Main, 9, 9, &CTolvarDlg::ShowMainPage},    {Hover::Main, 11, 11, &CTolvarDlg::OpenColourPage},
      {Hover::Page, 0, 7, &CTolvarDlg::MacroCommand},    {Hover::Page, 8, 17, &CTolvarDlg::SetPointerSpeed},
      {Hover::Page, 18, 27, &CTolvarDlg::SetWheelLines}, {Hover::Page, 30, 30, &CTolvarDlg::SetFireTimeFromBar},
      {Hover::Page, 31, 31, &CTolvarDlg::RaiseFireTime}, {Hover::Page, 32, 32, &CTolvarDlg::LowerFireTime},
      {Hover::Page, 34, 37, &CTolvarDlg::SetReportRate}, {Hover::Neither, kNone, kNone, &CTolvarDlg::Drag},
  };
  static constexpr PressRow kColour[] = {
      {Hover::Main, 9, 9, &CTolvarDlg::ShowMainPage},    {Hover::Main, 10, 10, &CTolvarDlg::OpenAdvancedPage},
      {Hover::Page, 0, 6, &CTolvarDlg::ToggleCycle},     {Hover::Page, 7, 10, &CTolvarDlg::SetLighting},
      {Hover::Page, 11, 16, &CTolvarDlg::SetCycleSpeed}, {Hover::Neither, kNone, kNone, &CTolvarDlg::Drag},
  };
};

void CTolvarDlg::OnMouseMove(int x, int y) {
  const SkinLayout& skin = state_.Skin;
  const bool mainPage = state_.CurrentPage == kMainPage;
  const std::uint8_t ledType = state_.Settings.LED_TYPE;
  state_.HoverMain = skin.Main.RowAt(x, y, mainPage ? kMainTestedRows : kHeaderRows);
  state_.HoverColour = skin.Colour.RowAt(x, y, ledType <= 1 ? kColourTestedRows : kColourTestedRowsOther);
  state_.HoverAdvanced = skin.Advanced.RowAt(x, y, kAdvancedTestedRows);

  const std::array<int, 3> hover{state_.HoverMain, state_.HoverColour, state_.HoverAdvanced};
  if (hover == state_.LastHover) return;
  state_.LastHover = hover;
  // One repaint for the move, whichever of the three values changed.
  ports_.window.InvalidateRegion(state_.CurrentPage == kAdvancedPage
                                     ? state_.ControlFreeRegion
                                     : Region(Rect{0, 0, state_.MaskWidth, state_.MaskHeight}));
  ports_.window.UpdateNow();
}

void CTolvarDlg::OnLButtonDown(int x, int y) {
  if (state_.HoverMain != kNone || state_.HoverColour != kNone || state_.HoverAdvanced != kNone) {
    state_.Pressed = true;
    ports_.window.Invalidate();
  }
  std::span<const PressRow> table = PressTables::kMain;
  int pageHover = state_.HoverMain;
  switch (PageOf(state_.CurrentPage)) {
    case PageKind::Main:
      menu_.reset();  // a press on the main page closes the function popup
      break;
    case PageKind::Advanced:
      table = PressTables::kAdvanced;
      pageHover = state_.HoverAdvanced;
      break;
    case PageKind::Colour:
      table = PressTables::kColour;
      pageHover = state_.HoverColour;
      break;
  }
  for (const PressRow& row : table) {
    int value = kNone;
    switch (row.hover) {
      case Hover::Main:
        value = state_.HoverMain;
        break;
      case Hover::Page:
        value = pageHover;
        break;
      case Hover::Neither:
        value = pageHover == kNone && state_.HoverMain == kNone ? kNone : -1;
        break;
    }
    if (value >= row.first && value <= row.last) {
      (this->*row.action)(value - row.first, {x, y});
      return;
    }
  }
}

void CTolvarDlg::OnLButtonUp(int, int) {
  state_.Pressed = false;
  ports_.window.Invalidate();
  const std::string& config = state_.Paths.ConfigPath;
  const int row = state_.HoverMain;
  switch (row) {
    case 0: {
      const SaveFailures failures(
          SaveProfile(ports_.ini, config, state_.CurConfig, state_.Settings, state_.UserMacros));
      ports_.window.Invalidate();
      ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL, failures);
      break;
    }
    case 2:
      // Hide: unapplied edits are dropped, the DPI level the mouse uses stays.
      state_.HoverMain = kNone;
      ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL,
                         SaveFailures(SaveDpiLevel(ports_.ini, config, kAppliedProfile, state_.Settings)));
      LoadProfile(state_, ports_.ini, ports_.dialogs, config, kAppliedProfile, ProfileSource::OwnSection, false);
      commands_.HideToTray();
      ports_.window.Invalidate();
      break;
    case 3:
      Apply();
      break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      state_.CurConfig = row - 3;
      LoadProfile(state_, ports_.ini, ports_.dialogs, config, state_.CurConfig, ProfileSource::OwnSection, false);
      macroPage_.RefreshMacroList();  // the advanced page's lists, when they are shown
      ports_.window.Invalidate();
      break;
    case 12:
      state_.HoverMain = kNone;
      ports_.window.PostToUi([this] { OnSysCommand(kScMinimize); });
      break;
    case 13:
      state_.HoverMain = kNone;
      commands_.HideToTray();
      break;
    case 14:
      profiles_.ImportProfile();
      break;
    case 15:
      profiles_.ExportProfile();
      break;
    case 16:
      profiles_.ResetProfiles();
      break;
    case 17:
    case 18:
      profiles_.SetLanguage(row == 18 ? 1 : 0);
      menus_.Load(state_.VER_SEL);
      break;
    case 19:
      ports_.desktop.OpenPage(state_.Paths.ModuleDir + kGuidePage);
      break;
    default:
      break;
  }
}

void CTolvarDlg::OnPaint() {
  if (state_.Popups.CloseMenuRequest || (menu_ && menu_->Closed())) {
    state_.Popups.CloseMenuRequest = false;
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
  PopupState& popups = state_.Popups;
  const HotSpot& spot = state_.Skin.Main.Spot(kFirstAssignmentRow + button);
  const Point window = ports_.window.ScreenOrigin();
  popups.EditedButton = kFirstAssignmentRow + button;
  popups.PopupOrigin = {window.x + spot.x, window.y + spot.y + spot.height};
  if (NoOtherButtonHasPrimaryClick(state_.Settings, button)) {
    WarningDlg warning(state_.Skin.Warning, state_.VER_SEL, state_.Paths.SkinsDir, ports_.popups, ports_.images);
    if (warning.Run(popups.PopupOrigin) == kWarningCancelled) return;
  }
  menu_ = std::make_unique<CMenuDlg>(PopupContext{
      .state = state_.Popups,
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

void CTolvarDlg::MacroCommand(int index, Point) {
  switch (index) {
    case 0:
      macroPage_.ImportMacros();
      break;
    case 1:
      macroPage_.ExportMacros();
      break;
    case 2:
      macroPage_.AddMacro();
      break;
    case 3:
      macroPage_.DeleteMacro();
      break;
    case 4:
      macroPage_.ToggleRecording();
      break;
    case 5:
      macroPage_.SaveMacros();
      break;
    case 6:
      macroPage_.ToggleRepeatMode();
      break;
    case 7:
      macroPage_.ToggleHeldMode();
      break;
    default:
      break;
  }
}

void CTolvarDlg::SetPointerSpeed(int speed, Point) { SetDpiSpeed(state_.Settings, static_cast<std::uint8_t>(speed)); }

void CTolvarDlg::SetWheelLines(int speed, Point) { SetWheelSpeed(state_.Settings, static_cast<std::uint8_t>(speed)); }

void CTolvarDlg::SetFireTimeFromBar(int, Point click) {
  const HotSpot& bar = state_.Skin.Advanced.Spot(kFireTimeRow);
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
