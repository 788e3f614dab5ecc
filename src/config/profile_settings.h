// The settings of one profile, as held in memory: every field is named after
// its key in the configuration file. Below the record: the DPI step table,
// the values derived from the fields, the built-in default profile and the
// editing operations.
//
// Values read from a file are stored as read, even outside the ranges the
// editing operations produce. Every derived value stays within its table:
// a DPI_SET above 11 is shown and sent as the last step (4800 DPI, step
// code 15) and its bar is filled up to the level's last cell; the record
// keeps the value read and a save writes it back unchanged.
#pragma once

#include <array>
#include <cstdint>

#include "base/shared_value.h"
#include "base/values.h"

namespace tolvar {

constexpr int kButtonCount = 6;  // logical buttons 0..5 carry K0..K5
constexpr int kDpiLevelCount = 6;
constexpr int kCycleColourCount = 7;
constexpr int kDpiStepCount = 12;
constexpr std::int32_t kFireTimeMax = 300;
// The DPI cells of level n are main page hot spots 66 + 12·n .. 77 + 12·n.
constexpr int kFirstDpiCellHotSpot = 66;

struct ProfileSettings {
  // Fields the worker threads read or write are Shared (indivisible access).
  std::array<Shared<std::int32_t>, kButtonCount> K{};
  Shared<std::int32_t> DPI_LEVEL = 0;
  std::array<std::uint8_t, kDpiLevelCount> DPI_SET{};
  std::array<bool, kDpiLevelCount> DPI_SET_EN{};
  std::array<std::int32_t, kDpiLevelCount> DPI_R{};  // DPI<n>_R
  std::array<std::int32_t, kDpiLevelCount> DPI_G{};  // DPI<n>_G
  std::array<std::int32_t, kDpiLevelCount> DPI_B{};  // DPI<n>_B
  std::int32_t WHEEL_STATUS = 0;
  Shared<std::uint8_t> LED_TYPE = 0;
  Shared<std::uint8_t> LED_CYC_TIME = 0;
  std::array<Shared<bool>, kCycleColourCount> CYC_7COL_EN{};
  std::uint8_t DPI_SPEED = 0;
  std::uint8_t WHEEL_SPEED = 0;
  std::uint8_t USB_SPEED = 0;
  std::int32_t FIRE_TIME = 0;
  std::int32_t MACRO_MODE2 = 0;

  // Derived values, recomputed when a profile is loaded or a colour is set.
  std::array<Rgb, kDpiLevelCount> DisplayColour{};
  std::array<int, kDpiLevelCount> SelectedValueHotSpot{};
};

struct DpiStep {
  std::uint8_t stepCode;  // sent to the mouse in the DPI level report
  int dpi;                // shown on the colour page
};

inline constexpr std::array<DpiStep, kDpiStepCount> DpiStepTable{{
    {1, 200},
    {2, 400},
    {3, 600},
    {4, 800},
    {5, 1000},
    {6, 1200},
    {7, 1600},
    {9, 2000},
    {11, 2400},
    {13, 3200},
    {14, 4000},
    {15, 4800},
}};

// ---- Derived values ----

// The table entry of a DPI value index; indexes above 11 give the last entry.
const DpiStep& DpiStepFor(std::uint8_t dpiSet);
// The hot spot of the main page up to which level n's bar is filled:
// 66 + 12·n + DPI_SET<n> (the index above 11 counts as 11).
int SelectedValueHotSpotOf(int level, std::uint8_t dpiSet);
// RGB(255 − 16·R, 255 − 16·G, 255 − 16·B), each channel in 8 bits.
Rgb DisplayColourOf(std::int32_t r, std::int32_t g, std::int32_t b);
// Recomputes DisplayColour and SelectedValueHotSpot of every level.
void UpdateDerivedValues(ProfileSettings& settings);

// The seven cycle-colour flags as one number, flag b = bit b.
std::uint8_t CycleColourMask(const ProfileSettings& settings);
void SetCycleColourMask(ProfileSettings& settings, std::int32_t mask);  // bits 7 and up ignored
// Bit j = DPI_SET_EN<j>.
std::uint8_t DpiEnableMask(const ProfileSettings& settings);

// The system pointer speed (1..20) for DPI_SPEED: 0 → 1, 1..8 → 2..16, else 18.
int SystemPointerSpeed(std::uint8_t dpiSpeed);
// The system wheel scroll lines for WHEEL_SPEED: WHEEL_SPEED + 1.
int SystemWheelScrollLines(std::uint8_t wheelSpeed);
// (The report-rate code of USB_SPEED is the USB speed report's own rule:
// compose::UsbSpeed.)

// ---- The built-in defaults ----

// K0..K5 = 1, 2, 3, 5, 4, 6, DPI level 1 of six enabled levels, the colour
// cycle through all seven colours; derived values computed. MACRO_MODE2 is
// no default: it is taken from the argument.
ProfileSettings DefaultProfile(std::int32_t macroMode2);

// ---- Editing operations (memory only; level, colour and button numbers
// outside their tables change nothing) ----

void SelectDpiValue(ProfileSettings& settings, int level, std::uint8_t valueIndex);
// Makes an enabled level current; a disabled one is ignored.
void SelectDpiLevel(ProfileSettings& settings, int level);
// Enables or disables a level, keeping at least one enabled and the current
// one enabled: disabling the current level moves DPI_LEVEL to the next
// enabled level upwards (wrapping), or undoes the change when there is none.
void ToggleDpiLevel(ProfileSettings& settings, int level);
// Colour from the colour dialog: each channel stored as (255 − c) div 16.
void SetLevelColour(ProfileSettings& settings, int level, std::uint8_t r, std::uint8_t g, std::uint8_t b);
void SetWheelStatus(ProfileSettings& settings, std::int32_t status);
void SetLedType(ProfileSettings& settings, std::uint8_t ledType);
void SetLedCycleTime(ProfileSettings& settings, std::uint8_t cycleTime);
// Turns a cycle colour on, or off unless it is the last one on.
void ToggleCycleColour(ProfileSettings& settings, int colour);
void SetDpiSpeed(ProfileSettings& settings, std::uint8_t speed);
void SetWheelSpeed(ProfileSettings& settings, std::uint8_t speed);
void SetUsbSpeed(ProfileSettings& settings, std::uint8_t speed);
// FIRE_TIME = (x − left) × 300 div width for a click inside the slider
// (left ≤ x < left + width); a click outside or a slider without width
// changes nothing.
void SetFireTimeFromSlider(ProfileSettings& settings, int x, int left, int width);
// FIRE_TIME + step (−1 or +1), kept within 0..300; a value read from a
// file outside 0..300 is brought back into the range.
void StepFireTime(ProfileSettings& settings, int step);

}  // namespace tolvar
