#include "app/apply_settings.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "base/text.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/failing_ini_store.h"
#include "support/fake_ini_store.h"
#include "unit/config/apply_fakes.h"
#include "unit/config/test_folder.h"

namespace tolvar {
namespace {

using namespace tolvar::testing;

constexpr std::size_t kReportLength = 8;

class ApplySettingsTest : public ::testing::Test {
 protected:
  ApplySettingsTest() : recordingIni(ini), channel(log), system(log, 10, 3), window(log) {
    folder.WriteFile("skins/config/config.ini", "[Init]\nCurConfig=3\nVER_SEL=1\n");
    app.Paths.ModuleDir = folder.Root();
    app.Paths.ConfigPath = folder.Path("skins/config/config.ini");
    app.VER_SEL = 1;
    app.CurConfig = 3;
    recordingIni.onWrite = [this](const RecordedWrite& w) {
      std::string line = (w.batch ? "batch " : "write ") + w.file.substr(folder.Root().size() + 1);
      line += " " + Utf16ToUtf8(w.entries.front().section);
      if (!w.batch) line += " " + Utf16ToUtf8(w.entries.front().key) + "=" + Utf16ToUtf8(w.entries.front().value);
      log.push_back(line);
    };

    // Buttons: the primary click, three DPI functions and a macro, a consumer
    // key and a code only a file can hold.
    ProfileSettings& s = app.Settings;
    s = DefaultProfile(0);
    const std::int32_t k[] = {1, 6, 15, 41, 21, -3};
    for (int i = 0; i < kButtonCount; ++i) s.K[i] = k[i];
    s.DPI_LEVEL = 2;
    ToggleDpiLevel(s, 3);
    s.DPI_SET[5] = 12;  // beyond the table: sent as the last step
    s.WHEEL_STATUS = 1;
    s.LED_TYPE = 0;
    s.LED_CYC_TIME = 5;
    ToggleCycleColour(s, 3);
    s.FIRE_TIME = 300;
    s.DPI_SPEED = 9;
    s.WHEEL_SPEED = 2;
    s.USB_SPEED = 2;

    app.UserMacros.count = 2;
    app.UserMacros.slots[0].name = MacroNameFrom(u"first");
    app.UserMacros.slots[1].name = MacroNameFrom(u"second");
    app.UserMacros.slots[1].mode = 1;
    app.UserMacros.slots[1].repeatCount = 9;
    app.SelectedMacro = 1;
  }

  void ConnectMouse() { app.Link.Reporter.Attach(&channel, kReportLength); }

  std::optional<std::u16string> Apply(std::optional<std::u16string> repeatText = std::nullopt) {
    return ApplySettings(app, recordingIni, system, window, repeatText).correctedRepeatCount;
  }

  std::u16string ReadConfig(std::u16string_view section, std::u16string_view key) {
    return ini.Read(app.Paths.ConfigPath, section, key, 4000);
  }

  TestFolder folder;
  IniFileStore ini;
  RecordingIniStore recordingIni;
  EventLog log;
  RecordingFeatureChannel channel;
  FakeSystemSettings system;
  FakeWindowHost window;
  AppState app;
};

TEST_F(ApplySettingsTest, SendsTheTwentyTwoReportsInOrderWithTheirBytes) {
  ConnectMouse();
  Apply();
  const std::vector<std::string> expected = {
      "07 10 01 01 00 00 00 00", "07 10 02 06 00 00 00 00", "07 10 03 0B 00 00 00 00", "07 10 05 00 00 00 00 00",
      "07 10 04 00 00 00 00 00", "07 10 06 00 00 00 00 00", "07 11 01 00 00 00 00 00", "07 13 77 85 00 00 00 00",
      "07 09 42 38 37 00 00 00", "07 14 0F F0 37 00 00 00", "07 09 42 59 37 00 00 00", "07 14 2F 00 37 00 00 00",
      "07 09 42 6A 37 00 00 00", "07 14 40 FF 37 00 00 00", "07 09 42 9B 37 00 00 00", "07 14 6F 0F 37 00 00 00",
      "07 09 42 DC 37 00 00 00", "07 14 80 F0 37 00 00 00", "07 09 42 FD 37 00 00 00", "07 14 A0 0F 37 00 00 00",
      "07 12 01 2C 00 00 00 00", "07 0A 01 00 00 00 00 00",
  };
  EXPECT_EQ(channel.reports, expected);
  const bool hostHandled[] = {false, true, true, false, false, false};
  for (int i = 0; i < kButtonCount; ++i) EXPECT_EQ(app.Link.HostHandled[i].load(), hostHandled[i]) << i;
}

TEST_F(ApplySettingsTest, SavesThatFailAreReturnedAndTheReportsAreSentAllTheSame) {
  ConnectMouse();
  Apply();
  const std::vector<std::string> sent = channel.reports;
  const std::string configBefore = folder.ReadFile("skins/config/config.ini");
  channel.reports.clear();

  FailingIniStore failing(ini);
  failing.FailWith(WriteError::kDiskFull);
  app.Settings.FIRE_TIME = 120;
  const ApplyOutcome outcome = ApplySettings(app, failing, system, window, std::nullopt);
  EXPECT_EQ(channel.reports.size(), sent.size()) << "every report is sent";
  EXPECT_EQ(channel.reports[20], "07 12 00 78 00 00 00 00") << "the new fire time";
  const std::vector<WriteFailure> expected = {{folder.Path("Macro_EN.dat"), WriteError::kDiskFull},
                                              {app.Paths.ConfigPath, WriteError::kDiskFull}};
  EXPECT_EQ(outcome.saveFailures.list(), expected) << "one entry for each file";
  EXPECT_EQ(folder.ReadFile("skins/config/config.ini"), configBefore);

  // Once the cause is gone, Apply stores what is in memory.
  failing.FailWith(std::nullopt);
  EXPECT_TRUE(ApplySettings(app, failing, system, window, std::nullopt).saveFailures.empty());
  EXPECT_EQ(ReadConfig(u"Config3", u"FIRE_TIME"), u"120");
}

TEST_F(ApplySettingsTest, StepsRunInTheirFixedOrder) {
  ConnectMouse();
  Apply();
  EventLog expected = {
      "batch Macro_EN.dat Macros",
      "write skins/config/config.ini Init CurConfig=3",
      "batch skins/config/config.ini Config6",
  };
  for (const char* command : {"10", "10", "10", "10", "10", "10", "11", "13"})
    expected.push_back(std::string("report ") + command);
  for (int level = 0; level < kDpiLevelCount; ++level) {
    expected.push_back("report 09");
    expected.push_back("report 14");
  }
  expected.insert(expected.end(), {"report 12", "repaint", "pointer speed 18", "wheel lines 3", "report 0A",
                                   "batch skins/config/config.ini Config3"});
  EXPECT_EQ(log, expected);
}

TEST_F(ApplySettingsTest, BothProfilesAndTheMacroFileHoldWhatWasApplied) {
  ConnectMouse();
  Apply();
  EXPECT_EQ(ReadConfig(u"Init", u"CurConfig"), u"3");
  EXPECT_EQ(ReadConfig(u"Init", u"VER_SEL"), u"1");
  for (const char16_t* section : {u"Config6", u"Config3"}) {
    for (const IniEntry& entry : ProfileEntries(section, app.Settings)) {
      EXPECT_EQ(ReadConfig(section, entry.key), entry.value) << Utf16ToUtf8(entry.key);
    }
    EXPECT_EQ(ReadConfig(section, u"macroNum"), u"2");
    EXPECT_EQ(ReadConfig(section, u"1"), EncodeMacro(app.UserMacros.slots[1]));
  }
  EXPECT_EQ(ReadConfig(u"Config6", u"CYC_7COL_EN"), u"119");  // the byte sent in 0x13
  EXPECT_EQ(ReadConfig(u"Config6", u"DPI_SET5"), u"12");      // stored as held
  EXPECT_EQ(UserMacroFileOf(app), folder.Path("Macro_EN.dat"));
  EXPECT_EQ(ini.Read(UserMacroFileOf(app), u"Macros", u"macroNum", 3), u"2");
  EXPECT_FALSE(std::filesystem::exists(folder.Path("Macro_CN.dat")));
}

TEST_F(ApplySettingsTest, WithoutTheMouseFilesAndDesktopAreWrittenAllTheSame) {
  Apply();
  EXPECT_TRUE(channel.reports.empty());
  EXPECT_EQ(system.speed, 18);
  EXPECT_EQ(system.lines, 3);
  EXPECT_EQ(ReadConfig(u"Config6", u"FIRE_TIME"), u"300");
  EXPECT_EQ(ReadConfig(u"Config3", u"FIRE_TIME"), u"300");
  EXPECT_EQ(ini.Read(UserMacroFileOf(app), u"Macros", u"macroNum", 3), u"2");
  EXPECT_EQ(app.Link.HostHandled[2].load(), true);  // the flags follow the buttons even without the mouse
}

TEST_F(ApplySettingsTest, DesktopSettingsThatCannotBeReadAreLeftAlone) {
  struct Case {
    std::optional<int> speed, lines;
    std::optional<int> speedAfter, linesAfter;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {5, std::nullopt, 18, std::nullopt},
      {std::nullopt, 1, std::nullopt, 3},
  };
  for (const auto& c : cases) {
    system.speed = c.speed;
    system.lines = c.lines;
    Apply();
    EXPECT_EQ(system.speed, c.speedAfter);
    EXPECT_EQ(system.lines, c.linesAfter);
  }
  const std::pair<std::uint8_t, int> speeds[] = {{0, 1}, {9, 18}, {4, 8}};
  for (const auto& [dpiSpeed, expected] : speeds) {
    system.speed = 10;
    app.Settings.DPI_SPEED = dpiSpeed;
    Apply();
    EXPECT_EQ(system.speed, expected) << int(dpiSpeed);
  }
}

TEST_F(ApplySettingsTest, RepeatCountTypedOnTheAdvancedPageIsSavedWithTheMacros) {
  app.CurrentPage = 1;
  EXPECT_EQ(Apply(u"0"), u"1");
  EXPECT_EQ(app.UserMacros.slots[1].repeatCount, 1);
  const Macro saved = DecodeMacro(ini.Read(UserMacroFileOf(app), u"Macros", u"1", 4000));
  EXPECT_EQ(saved.repeatCount, 1);

  EXPECT_EQ(Apply(u"25"), std::nullopt);
  EXPECT_EQ(DecodeMacro(ini.Read(UserMacroFileOf(app), u"Macros", u"1", 4000)).repeatCount, 25);

  app.CurrentPage = 0;  // the edit is not shown: its text is not used
  EXPECT_EQ(Apply(u"70000"), std::nullopt);
  EXPECT_EQ(app.UserMacros.slots[1].repeatCount, 25);
}

TEST_F(ApplySettingsTest, ANewAssignmentIsHostHandledOnlyOnceApplied) {
  ConnectMouse();
  Apply();
  AssignButtonFunction(app.Settings, 4, 16);
  EXPECT_FALSE(app.Link.HostHandled[4].load());
  Apply();
  EXPECT_TRUE(app.Link.HostHandled[4].load());
  EXPECT_EQ(channel.reports[22 + 4], "07 10 04 0C 00 00 00 00");
}

}  // namespace
}  // namespace tolvar
