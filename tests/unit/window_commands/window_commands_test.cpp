// Tray icon, window commands, shutdown and the dialog-key filter, on fakes
// that record what the window, the tray and the window menu were asked.
#include "app/window_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvar {
namespace {

using Calls = std::vector<std::string>;

// Window, tray and window menu in one call log, so their order shows.
struct CallLog {
  Calls calls;
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

class LoggingWindow final : public WindowHost {
 public:
  explicit LoggingWindow(CallLog& log) : log_(log) {}
  void SetTitle(const std::u16string&) override { log_.Add("title"); }
  void Invalidate() override { log_.Add("invalidate"); }
  void InvalidateRegion(const Region&) override { log_.Add("invalidate region"); }
  void UpdateNow() override { log_.Add("update"); }
  Point ScreenOrigin() const override { return {}; }
  void StartDrag() override { log_.Add("drag"); }
  void Show() override { log_.Add("show"); }
  void ShowMinimized() override { log_.Add("minimise"); }
  void Restore() override { log_.Add("restore"); }
  void Hide() override { log_.Add("hide"); }
  bool IsMinimized() const override { return false; }
  void Destroy() override { log_.Add("destroy"); }
  void PostToUi(std::function<void()> task) override { task(); }
  void SetShape(const MaskShape&) override {}

 private:
  CallLog& log_;
};

class LoggingTray final : public TrayIcon {
 public:
  explicit LoggingTray(CallLog& log) : log_(log) {}
  bool IsAvailable() const override { return available; }
  bool Add(int iconId, const std::u16string& tip) override {
    log_.Add("tray add " + std::to_string(iconId));
    tips.push_back(tip);
    return true;
  }
  void Remove(int iconId) override { log_.Add("tray remove " + std::to_string(iconId)); }
  void ShowMenuAtCursor(const std::vector<MenuItem>& items) override {
    log_.Add("tray menu");
    menus.push_back(items);
  }

  bool available = true;
  std::vector<std::u16string> tips;
  std::vector<std::vector<MenuItem>> menus;

 private:
  CallLog& log_;
};

class LoggingWindowMenu final : public WindowMenu {
 public:
  explicit LoggingWindowMenu(CallLog& log) : log_(log) {}
  void AppendSeparator() override { log_.Add("separator"); }
  void AppendItem(int command, const std::u16string& text) override {
    log_.Add("item " + std::to_string(command));
    texts.push_back(text);
  }
  void ShowAboutBox(const AboutBoxTexts& about) override {
    log_.Add("about");
    shown.push_back(about);
  }

  std::vector<std::u16string> texts;
  std::vector<AboutBoxTexts> shown;

 private:
  CallLog& log_;
};

class RecordingFeature final : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t> report) override {
    reports.emplace_back(report.begin(), report.end());
    return true;
  }
  std::vector<std::vector<std::uint8_t>> reports;
};

class WindowCommandsTest : public ::testing::Test {
 protected:
  WindowCommandsTest() { state.VER_SEL = 1; }
  ~WindowCommandsTest() override { state.Link.Reporter.Attach(nullptr, 0); }

  AppState state;
  CallLog log;
  LoggingWindow window{log};
  LoggingTray tray{log};
  LoggingWindowMenu menu{log};
  int applied = 0;
  WindowCommands commands{state, window, tray, menu, [this] { ++applied; }};
};

// ---- Tray callback ----

struct TrayCase {
  const char* name;
  int iconId;
  TrayMouse mouse;
  int result;
  Calls calls;
};

class TrayNotify : public WindowCommandsTest, public ::testing::WithParamInterface<TrayCase> {};

TEST_P(TrayNotify, ActsOnTheProgramsIconOnly) {
  EXPECT_EQ(commands.OnTrayNotify(GetParam().iconId, GetParam().mouse), GetParam().result);
  EXPECT_EQ(log.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Events, TrayNotify,
    ::testing::Values(TrayCase{"DoubleClickShowsAndRestores", 153, TrayMouse::LeftDoubleClick, 0, {"show", "restore"}},
                      TrayCase{"RightClickOpensTheMenu", 153, TrayMouse::RightButtonUp, 0, {"tray menu"}},
                      TrayCase{"OtherMouseActionsDoNothing", 153, TrayMouse::Other, 0, {}},
                      TrayCase{"AnotherIconsDoubleClick", 154, TrayMouse::LeftDoubleClick, 1, {}},
                      TrayCase{"AnotherIconsRightClick", 0, TrayMouse::RightButtonUp, 1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowCommandsTest, TrayMenuFollowsTheCurrentLanguage) {
  commands.OnTrayNotify(kTrayIconId, TrayMouse::RightButtonUp);
  state.VER_SEL = 0;  // after a language switch
  commands.OnTrayNotify(kTrayIconId, TrayMouse::RightButtonUp);

  ASSERT_EQ(tray.menus.size(), 2u);
  EXPECT_EQ(tray.menus[0],
            (std::vector<MenuItem>{
                {32801, u"Show Window"}, {32839, u"Profile per application..."}, {32800, u"Exit Driver"}}));
  EXPECT_EQ(tray.menus[1], (std::vector<MenuItem>{{32837, u"윈도우 보여주기   "},
                                                  {32839, u"응용 프로그램별 프로필..."},
                                                  {32838, u"드라이버 나가기   "}}));
}

// ---- Commands ----

struct CommandCase {
  int command;
  bool handled;
  Calls calls;
};

class MenuCommands : public WindowCommandsTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(MenuCommands, ShowAndExitInBothLanguages) {
  EXPECT_EQ(commands.OnCommand(GetParam().command), GetParam().handled);
  EXPECT_EQ(log.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Ids, MenuCommands,
                         ::testing::Values(CommandCase{32801, true, {"show", "restore"}},
                                           CommandCase{32837, true, {"show", "restore"}},
                                           CommandCase{32800, true, {"tray remove 153", "destroy"}},
                                           CommandCase{32838, true, {"tray remove 153", "destroy"}},
                                           CommandCase{32802, false, {}}));

TEST_F(WindowCommandsTest, ExitSendsTheDetachReportThenDestroys) {
  RecordingFeature feature;
  state.Link.Reporter.Attach(&feature, 9);
  commands.OnClose();
  ASSERT_EQ(feature.reports.size(), 1u);
  EXPECT_EQ(feature.reports[0], (std::vector<std::uint8_t>{7, 0x20, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(log.calls, (Calls{"tray remove 153", "destroy"}));
}

TEST_F(WindowCommandsTest, ExitWithoutAFeatureCollectionStillEnds) {
  commands.ExitProgram();
  EXPECT_EQ(log.calls, (Calls{"tray remove 153", "destroy"}));
}

// ---- System commands ----

struct SysCommandCase {
  const char* name;
  int command;
  bool trayAvailable;
  bool handled;
  Calls calls;
};

class SysCommands : public WindowCommandsTest, public ::testing::WithParamInterface<SysCommandCase> {};

TEST_P(SysCommands, WindowMenuCommands) {
  tray.available = GetParam().trayAvailable;
  EXPECT_EQ(commands.OnSysCommand(GetParam().command), GetParam().handled);
  EXPECT_EQ(log.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SysCommands,
    ::testing::Values(SysCommandCase{"CloseHidesToTheTray", 0xF060, true, true, {"minimise", "hide", "tray add 153"}},
                      SysCommandCase{"CloseWithoutATrayOnlyMinimises", 0xF060, false, true, {"minimise"}},
                      SysCommandCase{"LowBitsAreIgnored", 0xF063, true, true, {"minimise", "hide", "tray add 153"}},
                      SysCommandCase{"Minimise", 0xF020, true, true, {"minimise"}},
                      SysCommandCase{"Restore", 0xF120, true, true, {"restore"}},
                      SysCommandCase{"About", 16, true, true, {"about"}},
                      SysCommandCase{"OthersGoToTheDefault", 0xF030, true, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowCommandsTest, AboutBoxTexts) {
  commands.OnSysCommand(kAboutCommand);
  ASSERT_EQ(menu.shown.size(), 1u);
  EXPECT_EQ(menu.shown[0].title, u"About Tolvar");
  EXPECT_EQ(menu.shown[0].text, u"Tolvar Version 1.0");
}

TEST_F(WindowCommandsTest, StartUpAppendsTheAboutItemAfterASeparator) {
  AddAboutItem(menu);
  EXPECT_EQ(log.calls, (Calls{"separator", "item 16"}));
  EXPECT_EQ(menu.texts, (std::vector<std::u16string>{u"&About Tolvar..."}));
}

TEST_F(WindowCommandsTest, TrayIconCarriesItsIdAndTip) {
  commands.AddTrayIcon();
  commands.RemoveTrayIcon();
  EXPECT_EQ(log.calls, (Calls{"tray add 153", "tray remove 153"}));
  EXPECT_EQ(tray.tips, (std::vector<std::u16string>{u"Quarrion DORVEL_KITE7"}));
}

TEST_F(WindowCommandsTest, HiddenWindowComesBackFromTheTray) {
  commands.HideToTray();
  commands.OnTrayNotify(kTrayIconId, TrayMouse::LeftDoubleClick);
  EXPECT_EQ(log.calls, (Calls{"minimise", "hide", "tray add 153", "show", "restore"}));
}

TEST_F(WindowCommandsTest, ResumeAppliesTheSettingsAgain) {
  commands.OnPowerBroadcast();
  commands.OnPowerBroadcast();
  EXPECT_EQ(applied, 2);
}

// ---- Dialog keys ----

struct KeyCase {
  KeyEvent key;
  bool swallowed;
};

class DialogKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DialogKeys, EscapeEnterAndF10NeverReachTheDialog) {
  EXPECT_EQ(FilterDialogKeys(GetParam().key), GetParam().swallowed);
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeys,
                         ::testing::Values(KeyCase{{true, kVkEscape}, true}, KeyCase{{true, kVkReturn}, true},
                                           KeyCase{{false, kVkEscape}, false}, KeyCase{{false, kVkReturn}, false},
                                           KeyCase{{true, kVkF10}, true}, KeyCase{{false, kVkF10}, true},
                                           KeyCase{{true, 'A'}, false}, KeyCase{{true, 120}, false}));

}  // namespace
}  // namespace tolvar
