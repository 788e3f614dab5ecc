// The settings of one profile, as held in memory: every field is named after
// its key in the configuration file.
#pragma once

#include <array>
#include <cstdint>

#include "app/shared_value.h"

namespace tolvar {

constexpr int kButtonCount = 6;     // logical buttons 0..5 carry K0..K5
constexpr int kDpiLevelCount = 6;
constexpr int kCycleColourCount = 7;

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

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

}  // namespace tolvar
