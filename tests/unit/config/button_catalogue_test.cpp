#include "config/button_catalogue.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// The mouse's function byte and host-handled mark of each code, range by
// range, as the protocol defines them.
struct ProtocolRange {
  std::int32_t first, last;
  int sentForFirst;  // -1: the code itself
  int stepsWithCode;
  bool hostHandled;
};
constexpr ProtocolRange kProtocol[] = {
    {0, 5, -1, 1, false},  {6, 6, 6, 0, true},    {7, 10, 0, 0, false},   {11, 14, 7, 1, false},
    {15, 15, 11, 0, true}, {16, 16, 12, 0, true}, {17, 17, 13, 0, false}, {18, 1000, 0, 0, false},
};

TEST(ButtonCatalogueTest, MouseByteAndHostHandledFollowTheProtocolTable) {
  for (const auto& range : kProtocol) {
    for (std::int32_t code = range.first; code <= range.last; ++code) {
      const int expected =
          range.sentForFirst < 0 ? code : range.sentForFirst + range.stepsWithCode * (code - range.first);
      EXPECT_EQ(DeviceFunctionCode(code), expected) << code;
      EXPECT_EQ(IsHostHandled(code), range.hostHandled) << code;
    }
  }
  for (std::int32_t code : {-1, -7, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ(DeviceFunctionCode(code), 0) << code;
    EXPECT_FALSE(IsHostHandled(code)) << code;
  }
}

TEST(ButtonCatalogueTest, HostActions) {
  struct Case {
    std::int32_t code;
    HostActionTarget expected;
  };
  const Case cases[] = {
      {1, {HostAction::None, 0}},
      {6, {HostAction::None, 0}},
      {20, {HostAction::None, 0}},
      {21, {HostAction::ConsumerKey, 0}},
      {30, {HostAction::ConsumerKey, 9}},
      {31, {HostAction::PlayFixedMacro, 0}},
      {38, {HostAction::PlayFixedMacro, 7}},
      {39, {HostAction::StartCalculator, 0}},
      {40, {HostAction::StartTerminal, 0}},
      {41, {HostAction::PlayUserMacro, 0}},
      {52, {HostAction::PlayUserMacro, 11}},
      {53, {HostAction::None, 0}},
      {0, {HostAction::None, 0}},
      {-41, {HostAction::None, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(HostActionFor(c.code), c.expected) << c.code;
}

TEST(ButtonCatalogueTest, LabelSources) {
  struct Case {
    std::int32_t code;
    LabelSource expected;
  };
  const Case cases[] = {
      {0, {LabelKind::None, 0}},
      {1, {LabelKind::FunctionLabel, 1}},
      {5, {LabelKind::FunctionLabel, 5}},
      {40, {LabelKind::FunctionLabel, 40}},
      {41, {LabelKind::UserMacroName, 0}},
      {52, {LabelKind::UserMacroName, 11}},
      {53, {LabelKind::FunctionLabel, 53}},
      {54, {LabelKind::FunctionLabel, 54}},
      {55, {LabelKind::None, 0}},
      {99, {LabelKind::None, 0}},
      {-1, {LabelKind::None, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(LabelSourceFor(c.code), c.expected) << c.code;
}

TEST(ButtonCatalogueTest, PopupsOfferTheirGroups) {
  for (int item = 1; item <= 6; ++item) EXPECT_EQ(MainPopupItemCode(item), item);
  for (int item : {0, 7, 8, 9, 10, 11, -1}) EXPECT_EQ(MainPopupItemCode(item), 0) << item;

  using Codes = std::vector<std::int32_t>;
  EXPECT_EQ(PopupGroupCodes(7, 0), (Codes{11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(PopupGroupCodes(8, 0), (Codes{21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
  EXPECT_EQ(PopupGroupCodes(10, 5), (Codes{31, 32, 33, 34, 35, 36, 37, 38}));
  EXPECT_EQ(PopupGroupCodes(9, 3), (Codes{41, 42, 43}));
  EXPECT_EQ(PopupGroupCodes(9, 0), Codes{});
  EXPECT_EQ(PopupGroupCodes(9, -2), Codes{});
  EXPECT_EQ(PopupGroupCodes(9, 99).size(), 12u);
  EXPECT_EQ(PopupGroupCodes(9, 99).back(), 52);
  EXPECT_EQ(PopupGroupCodes(6, 3), Codes{});
  EXPECT_EQ(PopupGroupCodes(11, 3), Codes{});
}

using Buttons = std::array<std::int32_t, kButtonCount>;

ProfileSettings WithButtons(const Buttons& k) {
  ProfileSettings s;
  for (int i = 0; i < kButtonCount; ++i) s.K[i] = k[i];
  return s;
}

Buttons ButtonsOf(const ProfileSettings& s) {
  Buttons k{};
  for (int i = 0; i < kButtonCount; ++i) k[i] = s.K[i];
  return k;
}

TEST(AssignButtonFunctionTest, SomeButtonKeepsThePrimaryClick) {
  struct Case {
    const char* what;
    Buttons before;
    int button;
    std::int32_t code;
    Buttons after;
  };
  const Case cases[] = {
      {"the click moves to the next button", {1, 2, 3, 5, 4, 6}, 0, 2, {2, 1, 3, 5, 4, 6}},
      {"the last button keeps the click", {2, 3, 4, 5, 6, 1}, 5, 7, {2, 3, 4, 5, 6, 1}},
      {"a second primary click is allowed", {1, 2, 3, 5, 4, 6}, 3, 1, {1, 2, 3, 1, 4, 6}},
      {"another button still clicks", {1, 1, 3, 5, 4, 6}, 0, 41, {41, 1, 3, 5, 4, 6}},
      {"no button had the click", {0, 0, 0, 0, 0, 0}, 2, 5, {0, 0, 5, 1, 0, 0}},
      {"button outside the table", {1, 2, 3, 5, 4, 6}, 6, 9, {1, 2, 3, 5, 4, 6}},
      {"negative button", {1, 2, 3, 5, 4, 6}, -1, 9, {1, 2, 3, 5, 4, 6}},
  };
  for (const auto& c : cases) {
    ProfileSettings s = WithButtons(c.before);
    AssignButtonFunction(s, c.button, c.code);
    EXPECT_EQ(ButtonsOf(s), c.after) << c.what;
  }
}

TEST(AssignButtonFunctionTest, WarningIsNeededWhenNoOtherButtonClicks) {
  EXPECT_TRUE(NoOtherButtonHasPrimaryClick(WithButtons({1, 2, 3, 5, 4, 6}), 0));
  EXPECT_FALSE(NoOtherButtonHasPrimaryClick(WithButtons({1, 2, 3, 5, 4, 6}), 1));
  EXPECT_FALSE(NoOtherButtonHasPrimaryClick(WithButtons({1, 1, 3, 5, 4, 6}), 0));
  EXPECT_TRUE(NoOtherButtonHasPrimaryClick(WithButtons({0, 0, 0, 0, 0, 0}), 4));
}

}  // namespace
}  // namespace tolvar
