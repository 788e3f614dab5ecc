// What each row of the pages' hot-spot lists means: every row the program
// tests, paints or presses is named here, once. Row n is line n of the
// page's layout file (skin_layout.h reads them).
#pragma once

#include <cstdint>

#include "config/profile_settings.h"
#include "skin/skin_layout.h"

namespace tolvar {

// Consecutive rows first..last of one list; index i counts from first.
struct RowRange {
  int first;
  int last;

  constexpr int Count() const { return last - first + 1; }
  constexpr bool Contains(std::int64_t row) const { return row >= first && row <= last; }
  constexpr int Row(int index) const { return first + index; }
};

// The main list: the header (rows 0..19, on every page) and the main page.
namespace main_row {
constexpr int kSave = 0;
constexpr int kYellowLabel = 1;
constexpr int kHide = 2;
constexpr int kApply = 3;
constexpr RowRange kProfiles{4, 8};  // profile p is row p + 3
constexpr int kMainTab = 9;
constexpr int kAdvancedTab = 10;
constexpr int kColourTab = 11;
constexpr RowRange kTabs{kMainTab, kColourTab};
constexpr int kMinimise = 12;
constexpr int kToTray = 13;
constexpr int kImportProfile = 14;
constexpr int kExportProfile = 15;
constexpr int kReset = 16;
constexpr int kOtherLanguage = 17;
constexpr int kEnglish = 18;
constexpr int kGuide = 19;
constexpr RowRange kHeader{0, 19};
constexpr RowRange kHeaderTexts{0, 18};  // the header rows that carry text on the other pages

constexpr RowRange kAssignments{20, 25};  // the six assignment buttons
constexpr RowRange kButtonNames{26, 31};  // the names beside them
constexpr int kWheelOff = 32;
constexpr int kWheelOn = 33;
constexpr RowRange kWheel{kWheelOff, kWheelOn};
constexpr RowRange kWhiteTexts{34, 35};
constexpr int kUseHeading = 36;  // the headings of the DPI levels' columns
constexpr int kOnHeading = 38;
constexpr int kColourHeading = 39;
constexpr int kWheelCaption = 40;
constexpr RowRange kLevelColours{41, 46};
constexpr RowRange kLevelEnables{47, 52};
constexpr RowRange kLevelNames{53, 58};
constexpr RowRange kTexts{0, 58};  // the rows that carry text on the main page
constexpr RowRange kLevelSelectors{60, 65};
// Twelve cells a level; SelectedValueHotSpot counts in these rows.
constexpr RowRange kDpiCells{kFirstDpiCellHotSpot, kFirstDpiCellHotSpot + kDpiLevelCount* kDpiStepCount - 1};
constexpr int kAssignmentHoverOffset = 118;  // an assignment's hover picture lies 118 rows below it
constexpr RowRange kTested{0, 149};          // hovering tests these on the main page
}  // namespace main_row

// The colour page's list.
namespace colour_row {
constexpr RowRange kCycleColours{0, 6};
constexpr RowRange kLedTypes{7, 10};
constexpr RowRange kCycleSpeeds{11, 16};  // row 11 is the fastest (5), row 16 the slowest (0)
constexpr int kCycleSpeedCaption = 22;
constexpr int kDpiValue = 18;
constexpr RowRange kWhiteTexts{21, 30};
constexpr RowRange kTexts{0, 31};  // row 32, the preview, has no text
constexpr int kPreview = 32;
constexpr RowRange kTested{0, 17};               // while LED_TYPE is 0 or 1
constexpr RowRange kTestedOtherLighting{0, 11};  // for any other LED_TYPE
constexpr RowRange TestedRows(std::uint8_t ledType) { return ledType <= 1 ? kTested : kTestedOtherLighting; }
}  // namespace colour_row

// The advanced page's list.
namespace advanced_row {
constexpr int kImportMacros = 0;
constexpr int kExportMacros = 1;
constexpr int kAddMacro = 2;
constexpr int kDeleteMacro = 3;
constexpr int kRecord = 4;
constexpr int kSaveMacros = 5;
constexpr int kRepeatMode = 6;
constexpr int kHeldMode = 7;
constexpr RowRange kMacroCommands{kImportMacros, kHeldMode};
constexpr RowRange kPointerSpeeds{8, 17};  // DPI_SPEED 0..9
constexpr RowRange kWheelSpeeds{18, 27};   // WHEEL_SPEED 0..9
constexpr int kPointerSpeedCaption = 28;
constexpr int kWheelSpeedCaption = 29;
constexpr int kFireTimeBar = 30;
constexpr int kRaiseFireTime = 31;
constexpr int kLowerFireTime = 32;
constexpr int kFireTimeCaption = 33;
constexpr RowRange kReportRates{34, 37};  // USB_SPEED 0..3
constexpr int kReportRateCaption = 38;
constexpr int kMacroNameCaption = 39;  // the captions of the macro editor's controls
constexpr int kMacroListCaption = 40;
constexpr int kEventListCaption = 41;
constexpr int kPlaybackCaption = 47;
constexpr int kTimesCaption = 48;
constexpr int kPressCount = 43;
constexpr int kReleaseCount = 44;
constexpr RowRange kWhiteTexts{43, 46};
constexpr RowRange kTexts{0, 51};
constexpr RowRange kTested{0, 37};
}  // namespace advanced_row

// The warning before the last primary click is given away.
namespace warning_row {
constexpr int kConfirm = 0;
constexpr int kCancel = 1;
constexpr int kMessage = 2;
constexpr RowRange kTexts{0, 2};
}  // namespace warning_row

static_assert(main_row::kAssignments.Count() == kButtonCount && main_row::kButtonNames.Count() == kButtonCount);
static_assert(main_row::kLevelColours.Count() == kDpiLevelCount && main_row::kLevelEnables.Count() == kDpiLevelCount &&
              main_row::kLevelNames.Count() == kDpiLevelCount && main_row::kLevelSelectors.Count() == kDpiLevelCount);
static_assert(main_row::kDpiCells.last == 137);
static_assert(colour_row::kCycleColours.Count() == kCycleColourCount);
static_assert(main_row::kTested.last < MainSkinPage::kRows && colour_row::kPreview < ColourSkinPage::kRows &&
              advanced_row::kTexts.last < AdvancedSkinPage::kRows && warning_row::kTexts.last < WarningSkinPage::kRows);

}  // namespace tolvar
