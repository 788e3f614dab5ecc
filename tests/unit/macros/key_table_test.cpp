#include "macros/key_table.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tolvar
