#include "app/profile_automation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvar {
namespace {

class FakeControl final : public ProfileControl, public NoticeFacts {
 public:
  int Profile() const override { return profile; }
  int DpiLevel() const override { return level; }
  bool Connected() const override { return true; }
  bool HasUnsavedChanges() const override { return unsaved; }
  void ChooseProfileAndApply(int chosen) override {
    profile = chosen;
    log.push_back("choose " + std::to_string(chosen));
  }
  void Apply() override { log.push_back("apply"); }
  std::uint8_t Language() const override { return verSel; }
  int DpiValue(int dpiLevel) const override { return 800 + 400 * dpiLevel; }

  int profile = 1;
  int level = 0;
  bool unsaved = false;
  std::uint8_t verSel = 1;
  std::vector<std::string> log;
};

class FakeNotices final : public DesktopNotices {
 public:
  void Show(const std::u16string& text) override { shown.push_back(text); }
  std::vector<std::u16string> shown;
};

class ProfileAutomationTest : public ::testing::Test {
 protected:
  ProfileAutomationTest() { automation.SetRules({.rules = {{"game", 3}, {"editor", 1}}, .otherwise = 0}); }
  FakeControl control;
  FakeNotices notices;
  ProfileAutomation automation{control, control, notices};
};

TEST_F(ProfileAutomationTest, ARuleSwitchesAndAppliesOnceAndSaysSo) {
  EXPECT_EQ(automation.WindowActivated({"Game", "", "", ""}), 3);
  EXPECT_EQ(automation.WindowActivated({"Game", "", "", ""}), 0) << "already in use";
  EXPECT_EQ(automation.WindowActivated({"unruled", "", "", ""}), 0) << "Otherwise 0 stays";
  EXPECT_EQ(automation.WindowActivated({"editor", "", "", ""}), 1);
  EXPECT_EQ(control.log, (std::vector<std::string>{"choose 3", "choose 1"}));
  EXPECT_EQ(notices.shown, (std::vector<std::u16string>{u"Profile 3", u"Profile 1"}));
}

TEST_F(ProfileAutomationTest, OtherwiseSwitchesEveryOtherApplication) {
  automation.SetRules({.rules = {{"game", 3}}, .otherwise = 2});
  automation.WindowActivated({"browser", "", "", ""});
  automation.WindowActivated({"game", "", "", ""});
  automation.WindowActivated({"mail", "", "", ""});
  automation.WindowActivated({"browser", "", "", ""});
  EXPECT_EQ(control.log, (std::vector<std::string>{"choose 2", "choose 3", "choose 2"}));
}

TEST_F(ProfileAutomationTest, UnsavedChangesAreNeverThrownAwayAndTheNoticeSaysWhy) {
  control.unsaved = true;
  EXPECT_EQ(automation.WindowActivated({"game", "", "", ""}), 0);
  EXPECT_TRUE(control.log.empty());
  ASSERT_EQ(notices.shown.size(), 1u);
  EXPECT_EQ(notices.shown[0], u"Profile 3 not switched: the window holds unsaved changes");
  control.verSel = 0;
  automation.WindowActivated({"game", "", "", ""});
  EXPECT_NE(notices.shown.back().find(u"프로필 3"), std::u16string::npos);
  EXPECT_TRUE(control.log.empty());
}

TEST_F(ProfileAutomationTest, ChoicesFromTheBusTakeOneToFiveOnly) {
  for (const int wrong : {0, 6, -1, 100}) EXPECT_FALSE(automation.ChooseProfile(wrong)) << wrong;
  EXPECT_TRUE(control.log.empty());
  EXPECT_TRUE(notices.shown.empty());
  EXPECT_TRUE(automation.ChooseProfile(5));
  automation.Apply();
  EXPECT_EQ(control.log, (std::vector<std::string>{"choose 5", "apply"}));
  EXPECT_EQ(notices.shown, (std::vector<std::u16string>{u"Profile 5"}));
}

TEST_F(ProfileAutomationTest, TheMousesDpiButtonShowsTheValueInEitherLanguage) {
  automation.MouseChangedDpiLevel(2);
  control.verSel = 0;
  automation.MouseChangedDpiLevel(0);
  automation.ChooseProfile(4);
  EXPECT_EQ(notices.shown, (std::vector<std::u16string>{u"DPI 1600", u"DPI 800", u"프로필 4"}));
}

TEST_F(ProfileAutomationTest, NoNoticesWhenTurnedOffButTheSwitchesStill) {
  automation.SetRules({.rules = {{"game", 3}}, .otherwise = 0, .notifications = false});
  automation.WindowActivated({"game", "", "", ""});
  automation.MouseChangedDpiLevel(1);
  automation.ChooseProfile(2);
  control.unsaved = true;
  automation.WindowActivated({"game", "", "", ""});
  EXPECT_TRUE(notices.shown.empty());
  EXPECT_EQ(control.log, (std::vector<std::string>{"choose 3", "choose 2"}));
}

TEST(ProfileTexts, TheTrayTipShowsTheProfileAndTheDpiValue) {
  EXPECT_EQ(TrayTipText(3, 1600, 1), u"Quarrion DORVEL_KITE7\nProfile 3 \u00b7 DPI 1600");
  EXPECT_EQ(TrayTipText(1, 400, 0), u"Quarrion DORVEL_KITE7\n프로필 1 \u00b7 DPI 400");
}

}  // namespace
}  // namespace tolvar
