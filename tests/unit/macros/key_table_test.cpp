#include "macros/key_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "base/text.h"

namespace tolvar {
namespace {

struct KeyCase {
  std::uint8_t usage;
  std::uint8_t vk;
  std::u16string name;
};

// Both ends of every range and a sample of the single rows.
const KeyCase kKeys[] = {
    {4, 65, u"A"},          {29, 90, u"Z"},        {17, 78, u"N"},           {30, 49, u"1"},
    {38, 57, u"9"},         {39, 48, u"0"},        {58, 112, u"F1"},         {69, 123, u"F12"},
    {89, 97, u"NUMPAD1"},   {97, 105, u"NUMPAD9"}, {98, 96, u"NUMPAD0"},     {104, 124, u"F13"},
    {115, 135, u"F24"},     {40, 13, u"RETURN"},   {42, 8, u"BACK"},         {44, 32, u"SPACE"},
    {45, 189, u"-"},        {46, 187, u"+"},       {49, 220, u"\\|"},        {50, 192, u"`~"},
    {52, 222, u" ' "},      {54, 188, u","},       {56, 191, u"/?"},         {57, 20, u"CAPITAL"},
    {70, 44, u"SNAPSHOT"},  {75, 33, u"PRIOR"},    {78, 34, u"NEXT"},        {82, 38, u"UP"},
    {85, 106, u"MULTIPLY"}, {99, 110, u"DECIMAL"}, {101, 93, u"APPS"},       {116, 43, u"EXECUTE"},
    {119, 41, u"SELECT"},   {156, 12, u"CLEAR"},   {159, 108, u"SEPARATOR"}, {224, 162, u"LCONTROL"},
    {225, 160, u"LSHIFT"},  {226, 164, u"LMENU"},  {228, 163, u"RCONTROL"},  {229, 161, u"RSHIFT"},
    {230, 165, u"RMENU"},   {231, 92, u"RWIN"},    {240, 240, u"L-KEY"},     {241, 241, u"R-KEY"},
    {242, 242, u"M-KEY"},
};

TEST(KeyTableTest, ConvertsAndNamesEveryRow) {
  for (const auto& k : kKeys) {
    EXPECT_EQ(VkToUsage(k.vk), k.usage) << int(k.vk);
    EXPECT_EQ(UsageToVk(k.usage), k.vk) << int(k.usage);
    EXPECT_EQ(KeyName(k.usage), k.name) << int(k.usage);
  }
}

TEST(KeyTableTest, CodesOutsideTheTablePassUnchanged) {
  for (int vk : {0, 1, 7, 14, 223, 243, 255}) EXPECT_EQ(VkToUsage(static_cast<std::uint8_t>(vk)), vk) << vk;
  for (int usage : {0, 1, 3, 53, 100, 120, 200, 243, 255}) {
    EXPECT_EQ(UsageToVk(static_cast<std::uint8_t>(usage)), usage) << usage;
  }
}

TEST(KeyTableTest, MenuHasANameButNoVirtualKey) {
  EXPECT_EQ(KeyName(118), u"MENU");
  EXPECT_EQ(UsageToVk(118), 118);
  for (int vk = 0; vk < 256; ++vk) EXPECT_NE(VkToUsage(static_cast<std::uint8_t>(vk)), 118) << vk;
}

TEST(KeyTableTest, EveryNamedUsageSurvivesTheFileRoundTrip) {
  for (int code = 0; code < 256; ++code) {
    const auto usage = static_cast<std::uint8_t>(code);
    if (usage == 118 || KeyName(usage) == u"NON-AVAILABLE") continue;
    EXPECT_EQ(VkToUsage(UsageToVk(usage)), usage) << code;
  }
}

TEST(KeyTableTest, UnnamedCodesAreNotAvailable) {
  for (int code : {0, 1, 2, 3, 53, 88, 100, 102, 103, 120, 155, 223, 232, 239, 243, 255}) {
    EXPECT_EQ(KeyName(static_cast<std::uint8_t>(code)), u"NON-AVAILABLE") << code;
  }
}

// ---- key positions ----

struct PositionCase {
  int kernelKey;
  bool numLock;
  int vk;
};

// Kernel key codes (linux/input-event-codes.h) and the US key at that place.
const PositionCase kPositions[] = {
    {1, false, 27},
    {2, false, '1'},
    {10, false, '9'},
    {11, false, '0'},
    {12, false, 189},
    {13, false, 187},
    {16, false, 'Q'},
    {17, false, 'W'},
    {21, false, 'Y'},
    {25, false, 'P'},
    {26, false, 219},
    {27, false, 221},
    {28, false, 13},
    {29, false, 162},
    {30, false, 'A'},
    {38, false, 'L'},
    {39, false, 186},
    {40, false, 222},
    {41, false, 192},
    {42, false, 160},
    {43, false, 220},
    {44, false, 'Z'},
    {50, false, 'M'},
    {51, false, 188},
    {52, false, 190},
    {53, false, 191},
    {54, false, 161},
    {55, false, 106},
    {56, false, 164},
    {57, false, 32},
    {58, false, 20},
    {59, false, 112},
    {68, false, 121},
    {69, false, 144},
    {70, false, 145},
    {74, false, 109},
    {78, false, 107},
    {87, false, 122},
    {88, false, 123},
    {96, false, 13},
    {97, false, 163},
    {98, false, 111},
    {99, false, 44},
    {100, false, 165},
    {102, false, 36},
    {103, false, 38},
    {104, false, 33},
    {105, false, 37},
    {106, false, 39},
    {107, false, 35},
    {108, false, 40},
    {109, false, 34},
    {110, false, 45},
    {111, false, 46},
    {119, false, 19},
    {121, false, 108},
    {125, false, 91},
    {126, false, 92},
    {127, false, 93},
    {132, false, 41},
    {134, false, 43},
    {138, false, 47},
    {183, false, 124},
    {194, false, 135},
    // the number pad, Num Lock off and on
    {71, false, 36},
    {71, true, 103},
    {72, false, 38},
    {72, true, 104},
    {73, false, 33},
    {73, true, 105},
    {75, false, 37},
    {75, true, 100},
    {76, false, 12},
    {76, true, 101},
    {77, false, 39},
    {77, true, 102},
    {79, false, 35},
    {79, true, 97},
    {80, false, 40},
    {80, true, 98},
    {81, false, 34},
    {81, true, 99},
    {82, false, 45},
    {82, true, 96},
    {83, false, 46},
    {83, true, 110},
    // keys without a code: none, the ISO key beside left Shift, Hangul, Hanja, a volume key
    {0, false, 0},
    {86, false, 0},
    {122, false, 0},
    {123, false, 0},
    {115, false, 0},
    {248, false, 0},
    {-1, false, 0},
};

TEST(KeyPositions, EachKeyGivesTheCodeOfItsPlaceOnTheUsLayout) {
  for (const PositionCase& c : kPositions) {
    EXPECT_EQ(VirtualKeyOfPosition(c.kernelKey, c.numLock), c.vk) << c.kernelKey << (c.numLock ? " num lock" : "");
  }
}

TEST(KeyPositions, NumLockChangesOnlyTheNumberPad) {
  const std::vector<int> pad{71, 72, 73, 75, 76, 77, 79, 80, 81, 82, 83};
  for (int key = 0; key < 256; ++key) {
    if (std::find(pad.begin(), pad.end(), key) != pad.end()) continue;
    EXPECT_EQ(VirtualKeyOfPosition(key, false), VirtualKeyOfPosition(key, true)) << key;
  }
}

// Every key of the key table but the mouse buttons and MENU (which has no
// virtual-key code) is recorded from some key.
TEST(KeyPositions, EveryKeyOfTheTableCanBeRecorded) {
  std::set<int> reached;
  for (int key = 0; key < 256; ++key) {
    for (const bool numLock : {false, true}) {
      const int vk = VirtualKeyOfPosition(key, numLock);
      if (vk != 0) reached.insert(VkToUsage(static_cast<std::uint8_t>(vk)));
    }
  }
  for (int usage = 0; usage < 240; ++usage) {
    if (usage == 118 || KeyName(static_cast<std::uint8_t>(usage)) == u"NON-AVAILABLE") continue;
    EXPECT_TRUE(reached.count(usage)) << "usage " << usage << " "
                                      << Utf16ToUtf8(KeyName(static_cast<std::uint8_t>(usage)));
  }
  for (const int usage : reached) EXPECT_NE(KeyName(static_cast<std::uint8_t>(usage)), u"NON-AVAILABLE") << usage;
}

}  // namespace
}  // namespace tolvar
