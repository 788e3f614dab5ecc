#include "config/profile_settings.h"

#include <algorithm>

namespace tolvar {

namespace {

bool IsLevel(int level) { return level >= 0 && level < kDpiLevelCount; }

// 255 − 16·v with 16·v taken modulo 256.
std::uint8_t DisplayChannel(std::int32_t v) {
  const auto scaled = static_cast<std::uint8_t>(16u * static_cast<std::uint32_t>(v));
  return static_cast<std::uint8_t>(255 - scaled);
}

void UpdateLevelColour(ProfileSettings& s, int level) {
  s.DisplayColour[level] = DisplayColourOf(s.DPI_R[level], s.DPI_G[level], s.DPI_B[level]);
}

void UpdateLevelHotSpot(ProfileSettings& s, int level) {
  s.SelectedValueHotSpot[level] = SelectedValueHotSpotOf(level, s.DPI_SET[level]);
}

}  // namespace

const DpiStep& DpiStepFor(std::uint8_t dpiSet) {
  return DpiStepTable[std::min<std::size_t>(dpiSet, DpiStepTable.size() - 1)];
}

int SelectedValueHotSpotOf(int level, std::uint8_t dpiSet) {
  return kFirstDpiCellHotSpot + kDpiStepCount * level + std::min<int>(dpiSet, kDpiStepCount - 1);
}

Rgb DisplayColourOf(std::int32_t r, std::int32_t g, std::int32_t b) {
  return {DisplayChannel(r), DisplayChannel(g), DisplayChannel(b)};
}

void UpdateDerivedValues(ProfileSettings& settings) {
  for (int level = 0; level < kDpiLevelCount; ++level) {
    UpdateLevelColour(settings, level);
    UpdateLevelHotSpot(settings, level);
  }
}

std::uint8_t CycleColourMask(const ProfileSettings& settings) {
  std::uint8_t mask = 0;
  for (int b = 0; b < kCycleColourCount; ++b) {
    if (settings.CYC_7COL_EN[b]) mask = static_cast<std::uint8_t>(mask | (1u << b));
  }
  return mask;
}

void SetCycleColourMask(ProfileSettings& settings, std::int32_t mask) {
  for (int b = 0; b < kCycleColourCount; ++b) settings.CYC_7COL_EN[b] = ((mask >> b) & 1) != 0;
}

std::uint8_t DpiEnableMask(const ProfileSettings& settings) {
  std::uint8_t mask = 0;
  for (int j = 0; j < kDpiLevelCount; ++j) {
    if (settings.DPI_SET_EN[j]) mask = static_cast<std::uint8_t>(mask | (1u << j));
  }
  return mask;
}

int SystemPointerSpeed(std::uint8_t dpiSpeed) {
  if (dpiSpeed == 0) return 1;
  if (dpiSpeed <= 8) return 2 * dpiSpeed;
  return 18;
}

int SystemWheelScrollLines(std::uint8_t wheelSpeed) { return wheelSpeed + 1; }

ProfileSettings DefaultProfile(std::int32_t macroMode2) {
  struct LevelDefault {
    std::uint8_t dpiSet;
    std::int32_t r, g, b;
  };
  // 600, 1000, 1200, 2000, 3200 and 4800 DPI; blue, magenta, green, red, cyan, yellow.
  constexpr std::array<LevelDefault, kDpiLevelCount> kLevels{{
      {2, 15, 15, 0},
      {4, 0, 15, 0},
      {5, 15, 0, 15},
      {7, 0, 15, 15},
      {9, 15, 0, 0},
      {11, 0, 0, 15},
  }};
  constexpr std::array<std::int32_t, kButtonCount> kOwnFunctions{1, 2, 3, 5, 4, 6};

  ProfileSettings s;
  for (int i = 0; i < kButtonCount; ++i) s.K[i] = kOwnFunctions[i];
  s.DPI_LEVEL = 1;
  for (int n = 0; n < kDpiLevelCount; ++n) {
    s.DPI_SET[n] = kLevels[n].dpiSet;
    s.DPI_SET_EN[n] = true;
    s.DPI_R[n] = kLevels[n].r;
    s.DPI_G[n] = kLevels[n].g;
    s.DPI_B[n] = kLevels[n].b;
  }
  s.WHEEL_STATUS = 0;
  s.LED_TYPE = 1;
  s.LED_CYC_TIME = 2;
  SetCycleColourMask(s, 0x7F);
  s.DPI_SPEED = 4;
  s.WHEEL_SPEED = 2;
  s.USB_SPEED = 2;
  s.FIRE_TIME = 50;
  s.MACRO_MODE2 = macroMode2;
  UpdateDerivedValues(s);
  return s;
}

void SelectDpiValue(ProfileSettings& settings, int level, std::uint8_t valueIndex) {
  if (!IsLevel(level)) return;
  settings.DPI_SET[level] = valueIndex;
  UpdateLevelHotSpot(settings, level);
}

void SelectDpiLevel(ProfileSettings& settings, int level) {
  if (IsLevel(level) && settings.DPI_SET_EN[level]) settings.DPI_LEVEL = level;
}

void ToggleDpiLevel(ProfileSettings& settings, int level) {
  if (!IsLevel(level)) return;
  if (!settings.DPI_SET_EN[level]) {
    settings.DPI_SET_EN[level] = true;
    return;
  }
  settings.DPI_SET_EN[level] = false;
  if (settings.DPI_LEVEL != level) return;
  for (int step = 1; step <= kDpiLevelCount; ++step) {
    const int next = (level + step) % kDpiLevelCount;
    if (settings.DPI_SET_EN[next]) {
      settings.DPI_LEVEL = next;
      return;
    }
  }
  settings.DPI_SET_EN[level] = true;  // it was the only enabled level
}

void SetLevelColour(ProfileSettings& settings, int level, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (!IsLevel(level)) return;
  settings.DPI_R[level] = (255 - r) / 16;
  settings.DPI_G[level] = (255 - g) / 16;
  settings.DPI_B[level] = (255 - b) / 16;
  UpdateLevelColour(settings, level);
}

void SetWheelStatus(ProfileSettings& settings, std::int32_t status) { settings.WHEEL_STATUS = status; }
void SetLedType(ProfileSettings& settings, std::uint8_t ledType) { settings.LED_TYPE = ledType; }
void SetLedCycleTime(ProfileSettings& settings, std::uint8_t cycleTime) { settings.LED_CYC_TIME = cycleTime; }

void ToggleCycleColour(ProfileSettings& settings, int colour) {
  if (colour < 0 || colour >= kCycleColourCount) return;
  if (!settings.CYC_7COL_EN[colour]) {
    settings.CYC_7COL_EN[colour] = true;
    return;
  }
  const auto on = std::count_if(settings.CYC_7COL_EN.begin(), settings.CYC_7COL_EN.end(),
                                [](const Shared<bool>& flag) { return flag.load(); });
  if (on >= 2) settings.CYC_7COL_EN[colour] = false;
}

void SetDpiSpeed(ProfileSettings& settings, std::uint8_t speed) { settings.DPI_SPEED = speed; }
void SetWheelSpeed(ProfileSettings& settings, std::uint8_t speed) { settings.WHEEL_SPEED = speed; }
void SetUsbSpeed(ProfileSettings& settings, std::uint8_t speed) { settings.USB_SPEED = speed; }

void SetFireTimeFromSlider(ProfileSettings& settings, int x, int left, int width) {
  if (width <= 0 || x < left || x - left >= width) return;
  settings.FIRE_TIME = static_cast<std::int32_t>(static_cast<long long>(x - left) * kFireTimeMax / width);
}

void StepFireTime(ProfileSettings& settings, int step) {
  const long long next = static_cast<long long>(settings.FIRE_TIME) + step;
  settings.FIRE_TIME = static_cast<std::int32_t>(std::clamp<long long>(next, 0, kFireTimeMax));
}

}  // namespace tolvar
