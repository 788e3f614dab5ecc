#include "config/profile_settings.h"

#include <gtest/gtest.h>

#include <bitset>

namespace tolvar {
namespace {

std::uint8_t EnabledMask(const ProfileSettings& s) { return DpiEnableMask(s); }

void SetEnabled(ProfileSettings& s, std::uint8_t mask) {
  for (int n = 0; n < kDpiLevelCount; ++n) s.DPI_SET_EN[n] = ((mask >> n) & 1) != 0;
}

TEST(DpiStepTest, StepsStayWithinTheTable) {
  struct Case {
    std::uint8_t dpiSet;
    std::uint8_t stepCode;
    int dpi;
  };
  const Case cases[] = {{0, 1, 200},    {6, 7, 1600},   {7, 9, 2000},   {9, 13, 3200},
                        {11, 15, 4800}, {12, 15, 4800}, {255, 15, 4800}};
  for (const auto& c : cases) {
    EXPECT_EQ(DpiStepFor(c.dpiSet).stepCode, c.stepCode) << int(c.dpiSet);
    EXPECT_EQ(DpiStepFor(c.dpiSet).dpi, c.dpi) << int(c.dpiSet);
  }
}

TEST(DerivedValuesTest, HotSpotStopsAtTheLevelsLastCell) {
  EXPECT_EQ(SelectedValueHotSpotOf(0, 0), 66);
  EXPECT_EQ(SelectedValueHotSpotOf(2, 7), 66 + 24 + 7);
  EXPECT_EQ(SelectedValueHotSpotOf(5, 11), 137);
  EXPECT_EQ(SelectedValueHotSpotOf(1, 12), 66 + 12 + 11);
  EXPECT_EQ(SelectedValueHotSpotOf(1, 255), 66 + 12 + 11);
}

TEST(DerivedValuesTest, DisplayColourIsComputedInEightBits) {
  struct Case {
    std::int32_t r, g, b;
    Rgb expected;
  };
  const Case cases[] = {
      {0, 0, 0, {255, 255, 255}},  {15, 15, 15, {15, 15, 15}},
      {15, 15, 0, {15, 15, 255}},  {16, 17, 32, {255, 239, 255}},  // 256 and 512 wrap to 0
      {-1, 300, 0, {15, 63, 255}},  // 16·(−1) is 240; 16·300 = 4800 is 192 modulo 256
  };
  for (const auto& c : cases) EXPECT_EQ(DisplayColourOf(c.r, c.g, c.b), c.expected) << c.r << "," << c.g;
}

TEST(DefaultProfileTest, HoldsTheBuiltInValues) {
  const ProfileSettings s = DefaultProfile(77);
  const std::int32_t k[] = {1, 2, 3, 5, 4, 6};
  for (int i = 0; i < kButtonCount; ++i) EXPECT_EQ(s.K[i], k[i]);
  EXPECT_EQ(s.DPI_LEVEL, 1);
  const std::uint8_t steps[] = {2, 4, 5, 7, 9, 11};
  // blue, magenta, green, red, cyan, yellow
  const Rgb shown[] = {{15, 15, 255}, {255, 15, 255}, {15, 255, 15}, {255, 15, 15}, {15, 255, 255}, {255, 255, 15}};
  for (int n = 0; n < kDpiLevelCount; ++n) {
    EXPECT_EQ(s.DPI_SET[n], steps[n]);
    EXPECT_TRUE(s.DPI_SET_EN[n]);
    EXPECT_EQ(s.DisplayColour[n], shown[n]) << n;
    EXPECT_EQ(s.SelectedValueHotSpot[n], 66 + 12 * n + steps[n]);
  }
  EXPECT_EQ(CycleColourMask(s), 127);
  EXPECT_EQ(s.LED_TYPE, 1);
  EXPECT_EQ(s.LED_CYC_TIME, 2);
  EXPECT_EQ(s.DPI_SPEED, 4);
  EXPECT_EQ(s.WHEEL_SPEED, 2);
  EXPECT_EQ(s.USB_SPEED, 2);
  EXPECT_EQ(s.FIRE_TIME, 50);
  EXPECT_EQ(s.WHEEL_STATUS, 0);
  EXPECT_EQ(s.MACRO_MODE2, 77);
}

TEST(DpiLevelEditingTest, ToggleKeepsOneLevelEnabledAndTheCurrentLevelEnabled) {
  struct Case {
    const char* what;
    std::uint8_t enabled;
    int current;
    int toggled;
    std::uint8_t expectedEnabled;
    int expectedCurrent;
  };
  const Case cases[] = {
      {"disabled level is enabled", 0b000001, 0, 4, 0b010001, 0},
      {"other level is disabled", 0b111111, 1, 3, 0b110111, 1},
      {"current moves up to the next enabled", 0b010110, 2, 2, 0b010010, 4},
      {"search wraps from 5 to 0", 0b100001, 5, 5, 0b000001, 0},
      {"only enabled level stays", 0b000100, 2, 2, 0b000100, 2},
      {"level outside the table", 0b111111, 1, 6, 0b111111, 1},
      {"negative level", 0b111111, 1, -1, 0b111111, 1},
  };
  for (const auto& c : cases) {
    ProfileSettings s = DefaultProfile(0);
    SetEnabled(s, c.enabled);
    s.DPI_LEVEL = c.current;
    ToggleDpiLevel(s, c.toggled);
    EXPECT_EQ(std::bitset<6>(EnabledMask(s)), std::bitset<6>(c.expectedEnabled)) << c.what;
    EXPECT_EQ(s.DPI_LEVEL, c.expectedCurrent) << c.what;
  }
}

TEST(DpiLevelEditingTest, OnlyEnabledLevelsCanBeSelected) {
  ProfileSettings s = DefaultProfile(0);
  SetEnabled(s, 0b001011);
  SelectDpiLevel(s, 2);
  EXPECT_EQ(s.DPI_LEVEL, 1);
  SelectDpiLevel(s, 3);
  EXPECT_EQ(s.DPI_LEVEL, 3);
  SelectDpiLevel(s, 9);
  EXPECT_EQ(s.DPI_LEVEL, 3);
}

TEST(DpiLevelEditingTest, SelectingAValueMovesTheBarFill) {
  ProfileSettings s = DefaultProfile(0);
  SelectDpiValue(s, 3, 11);
  EXPECT_EQ(s.DPI_SET[3], 11);
  EXPECT_EQ(s.SelectedValueHotSpot[3], 66 + 36 + 11);
  SelectDpiValue(s, 6, 0);  // no such level: nothing changes, nothing is written past the table
  EXPECT_EQ(s.DPI_SET, (std::array<std::uint8_t, 6>{2, 4, 5, 11, 9, 11}));
}

TEST(ColourEditingTest, DialogColourIsStoredInvertedInFourBits) {
  struct Case {
    std::uint8_t r, g, b;
    std::int32_t storedR, storedG, storedB;
    Rgb shown;
  };
  const Case cases[] = {
      {255, 255, 255, 0, 0, 0, {255, 255, 255}},
      {0, 0, 0, 15, 15, 15, {15, 15, 15}},
      {128, 16, 240, 7, 14, 0, {143, 31, 255}},
  };
  for (const auto& c : cases) {
    ProfileSettings s = DefaultProfile(0);
    SetLevelColour(s, 4, c.r, c.g, c.b);
    EXPECT_EQ(s.DPI_R[4], c.storedR);
    EXPECT_EQ(s.DPI_G[4], c.storedG);
    EXPECT_EQ(s.DPI_B[4], c.storedB);
    EXPECT_EQ(s.DisplayColour[4], c.shown);
  }
}

TEST(ColourEditingTest, TheLastCycleColourStaysOn) {
  struct Case {
    const char* what;
    std::int32_t mask;
    int colour;
    std::uint8_t expected;
  };
  const Case cases[] = {
      {"off colour turns on", 0b0000001, 3, 0b0001001},
      {"one of two turns off", 0b0001001, 3, 0b0000001},
      {"the other of two turns off", 0b0001001, 0, 0b0001000},
      {"the last one stays on", 0b1000000, 6, 0b1000000},
      {"no colour on: the toggled one turns on", 0, 2, 0b0000100},
      {"colour outside the table", 0b0000001, 7, 0b0000001},
  };
  for (const auto& c : cases) {
    ProfileSettings s = DefaultProfile(0);
    SetCycleColourMask(s, c.mask);
    ToggleCycleColour(s, c.colour);
    EXPECT_EQ(CycleColourMask(s), c.expected) << c.what;
  }
}

TEST(FireTimeEditingTest, StepsStayWithinTheRange) {
  struct Case {
    std::int32_t before;
    int step;
    std::int32_t after;
  };
  const Case cases[] = {{300, +1, 300},  {0, -1, 0},   {50, +1, 51},         {50, -1, 49},
                        {3000, -1, 300}, {-20, +1, 0}, {2147483647, +1, 300}};
  for (const auto& c : cases) {
    ProfileSettings s = DefaultProfile(0);
    s.FIRE_TIME = c.before;
    StepFireTime(s, c.step);
    EXPECT_EQ(s.FIRE_TIME, c.after) << c.before << " " << c.step;
  }
}

TEST(FireTimeEditingTest, SliderClickScalesToThreeHundred) {
  struct Case {
    int x;
    std::int32_t expected;
  };
  constexpr int kLeft = 100;
  constexpr int kWidth = 151;
  const Case cases[] = {
      {kLeft, 0},
      {kLeft + 75, 149},  // 75 × 300 div 151
      {kLeft + kWidth - 1, 300 * 150 / 151},
      {kLeft - 1, 50},  // outside: unchanged
      {kLeft + kWidth, 50},
  };
  for (const auto& c : cases) {
    ProfileSettings s = DefaultProfile(0);
    SetFireTimeFromSlider(s, c.x, kLeft, kWidth);
    EXPECT_EQ(s.FIRE_TIME, c.expected) << c.x;
  }
  ProfileSettings s = DefaultProfile(0);
  SetFireTimeFromSlider(s, 0, 0, 0);
  EXPECT_EQ(s.FIRE_TIME, 50);
}

TEST(SystemValuesTest, PointerSpeedAndWheelLines) {
  const std::pair<std::uint8_t, int> speeds[] = {{0, 1}, {1, 2}, {4, 8}, {8, 16}, {9, 18}, {10, 18}, {255, 18}};
  for (const auto& [dpiSpeed, expected] : speeds) EXPECT_EQ(SystemPointerSpeed(dpiSpeed), expected) << int(dpiSpeed);
  EXPECT_EQ(SystemWheelScrollLines(0), 1);
  EXPECT_EQ(SystemWheelScrollLines(2), 3);
  EXPECT_EQ(SystemWheelScrollLines(9), 10);
}

}  // namespace
}  // namespace tolvar
