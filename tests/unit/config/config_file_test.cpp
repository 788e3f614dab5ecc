#include "config/config_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/state_loading.h"
#include "base/text.h"
#include "config/button_catalogue.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/fake_ini_store.h"
#include "unit/config/fake_dialogs.h"
#include "unit/config/test_folder.h"

namespace tolvar {
namespace {

using testing::RecordingDialogs;
using testing::RecordingIniStore;
using testing::TestFolder;

Macro NamedMacro(std::u16string_view name) {
  Macro m;
  m.name = MacroNameFrom(name);
  m.repeatCount = 1;
  return m;
}

// Key and value of each entry, for comparing two profiles.
std::vector<std::pair<std::u16string, std::u16string>> KeysAndValues(const ProfileSettings& s) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  for (const IniEntry& e : ProfileEntries(u"any", s)) pairs.emplace_back(e.key, e.value);
  return pairs;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  ConfigFileTest() { app.ApplicationName = u"tolvar"; }

  std::string File() const { return folder.Path("config.ini"); }
  std::string Text() const { return TestFolder::ReadBytes(File()); }
  void WriteConfig(const std::string& text) const { folder.WriteFile("config.ini", text); }
  ProfileSettings Read(std::u16string_view section) { return ReadProfileSettings(ini, File(), section); }

  TestFolder folder;
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
};

TEST_F(ConfigFileTest, DefaultProfileIsWrittenKeyByKeyInTableOrder) {
  EXPECT_FALSE(SaveProfile(ini, File(), 1, DefaultProfile(0)));
  const std::string expected =
      "[Config1]\n"
      "K0=1\nK1=2\nK2=3\nK3=5\nK4=4\nK5=6\n"
      "DPI_LEVEL=1\nWHEEL_STATUS=0\nMACRO_MODE2=0\nCYC_7COL_EN=127\n"
      "DPI_SET0=2\nDPI_SET_EN0=1\nDPI0_R=15\nDPI0_G=15\nDPI0_B=0\n"
      "DPI_SET1=4\nDPI_SET_EN1=1\nDPI1_R=0\nDPI1_G=15\nDPI1_B=0\n"
      "DPI_SET2=5\nDPI_SET_EN2=1\nDPI2_R=15\nDPI2_G=0\nDPI2_B=15\n"
      "DPI_SET3=7\nDPI_SET_EN3=1\nDPI3_R=0\nDPI3_G=15\nDPI3_B=15\n"
      "DPI_SET4=9\nDPI_SET_EN4=1\nDPI4_R=15\nDPI4_G=0\nDPI4_B=0\n"
      "DPI_SET5=11\nDPI_SET_EN5=1\nDPI5_R=0\nDPI5_G=0\nDPI5_B=15\n"
      "LED_TYPE=1\nLED_CYC_TIME=2\nDPI_SPEED=4\nWHEEL_SPEED=2\nUSB_SPEED=2\nFIRE_TIME=50\n";
  EXPECT_EQ(Text(), expected);
}

TEST_F(ConfigFileTest, ValuesAreCutToTheirReadBuffersBeforeParsing) {
  WriteConfig(
      "[Config2]\n"
      "FIRE_TIME=0300\n"
      "K0=12345\n"
      "K1= 41 \n"
      "K2=-7\n"
      "DPI_LEVEL=3x\n"
      "DPI_SET0=123456789012\n"
      "DPI0_R=1234567890\n"
      "DPI1_G=abc\n"
      "LED_CYC_TIME=30000\n");
  const ProfileSettings s = Read(u"Config2");
  EXPECT_EQ(s.FIRE_TIME, 300);
  EXPECT_EQ(s.K[0], 1234);
  EXPECT_EQ(s.K[1], 41);
  EXPECT_EQ(s.K[2], -7);
  EXPECT_EQ(s.DPI_LEVEL, 3);
  EXPECT_EQ(s.DPI_SET[0], 123456789 & 0xFF);  // nine characters, low 8 bits
  EXPECT_EQ(s.DPI_R[0], 123456789);
  EXPECT_EQ(s.DPI_G[1], 0);
  EXPECT_EQ(s.LED_CYC_TIME, 3000 & 0xFF);
}

TEST_F(ConfigFileTest, FireTimeOfThirtyThousandReadsAsThreeThousand) {
  const std::pair<const char*, std::int32_t> cases[] = {{"0300", 300}, {"3000", 3000}, {"30000", 3000}};
  for (const auto& [text, expected] : cases) {
    WriteConfig(std::string("[Config1]\nFIRE_TIME=") + text + "\n");
    EXPECT_EQ(Read(u"Config1").FIRE_TIME, expected) << text;
  }
}

TEST_F(ConfigFileTest, MissingSectionFileAndKeysReadAsZero) {
  const ProfileSettings fromNoFile = Read(u"Config1");
  WriteConfig("[Config1]\nK3=7\n");
  const ProfileSettings partial = Read(u"Config1");
  const ProfileSettings noSection = Read(u"Config0");
  for (const ProfileSettings* s : {&fromNoFile, &partial, &noSection}) {
    EXPECT_EQ(s->DPI_LEVEL, 0);
    EXPECT_EQ(s->FIRE_TIME, 0);
    EXPECT_EQ(DpiEnableMask(*s), 0);
    EXPECT_EQ(CycleColourMask(*s), 0);
    EXPECT_EQ(s->DisplayColour[2], (Rgb{255, 255, 255}));
    EXPECT_EQ(s->SelectedValueHotSpot[1], 78);
  }
  EXPECT_EQ(partial.K[3], 7);
  EXPECT_EQ(partial.K[0], 0);
  EXPECT_EQ(ReadCurConfig(ini, folder.Path("none.ini")), 0);
  EXPECT_EQ(ReadLanguage(ini, folder.Path("none.ini")), 0);
}

TEST_F(ConfigFileTest, OutOfRangeValuesAreStoredAsReadAndWrittenBack) {
  WriteConfig(
      "[Config3]\n"
      "K0=99\nDPI_LEVEL=9\nMACRO_MODE2=-12\nCYC_7COL_EN=255\n"
      "DPI_SET0=12\nDPI_SET_EN2=7\nDPI0_R=31\nLED_TYPE=260\nFIRE_TIME=3000\n");
  app.Settings = Read(u"Config3");
  const ProfileSettings& s = app.Settings;
  EXPECT_EQ(s.K[0], 99);
  EXPECT_EQ(s.DPI_LEVEL, 9);
  EXPECT_EQ(s.MACRO_MODE2, -12);
  EXPECT_EQ(CycleColourMask(s), 127);
  EXPECT_EQ(s.DPI_SET[0], 12);
  EXPECT_EQ(s.SelectedValueHotSpot[0], 77);  // the level's last cell
  EXPECT_TRUE(s.DPI_SET_EN[2]);
  EXPECT_EQ(s.DisplayColour[0].r, 255 - ((16 * 31) & 0xFF));
  EXPECT_EQ(s.LED_TYPE, 4);
  EXPECT_EQ(s.FIRE_TIME, 3000);

  EXPECT_FALSE(SaveProfile(ini, File(), 3, s));
  const ProfileSettings again = Read(u"Config3");
  const std::string text = Text();
  for (const char* line : {"K0=99\n", "DPI_LEVEL=9\n", "MACRO_MODE2=-12\n", "CYC_7COL_EN=127\n", "DPI_SET0=12\n",
                           "DPI_SET_EN2=1\n", "DPI0_R=31\n", "LED_TYPE=4\n", "FIRE_TIME=3000\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(again.DPI_SET[0], 12);
}

TEST_F(ConfigFileTest, SavingTheSameSettingsTwiceLeavesTheFileUnchanged) {
  app.Settings = DefaultProfile(5);
  app.UserMacros.count = 2;
  app.UserMacros.slots[0] = NamedMacro(u"M1");
  app.UserMacros.slots[1] = NamedMacro(u"복사");
  WriteConfig("[Init]\nCurConfig=1\nVER_SEL=1\n\n[Config2]\nK0=1\n");
  EXPECT_FALSE(SaveProfile(ini, File(), 1, app.Settings, app.UserMacros));
  const std::string first = Text();
  EXPECT_FALSE(SaveProfile(ini, File(), 1, app.Settings, app.UserMacros));
  EXPECT_EQ(Text(), first);

  ToggleCycleColour(app.Settings, 3);
  EXPECT_FALSE(SaveProfile(ini, File(), 1, app.Settings, app.UserMacros));
  const auto before = Lines(first);
  const auto after = Lines(Text());
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    EXPECT_EQ(before[i], "CYC_7COL_EN=127");
    EXPECT_EQ(after[i], "CYC_7COL_EN=119");
  }
}

TEST_F(ConfigFileTest, AProfileSaveLandsAsOneBatch) {
  RecordingIniStore recording(ini);
  app.Settings = DefaultProfile(0);
  app.UserMacros.count = 1;
  app.UserMacros.slots[0] = NamedMacro(u"M1");

  EXPECT_FALSE(SaveProfile(recording, File(), 4, app.Settings, app.UserMacros));
  ASSERT_EQ(recording.Writes().size(), 1u);
  const auto& withMacros = recording.Writes()[0];
  EXPECT_TRUE(withMacros.batch);
  ASSERT_EQ(withMacros.entries.size(), 46u + 2u);
  EXPECT_EQ(withMacros.entries[46].key, u"macroNum");
  EXPECT_EQ(withMacros.entries[47].key, u"0");
  for (const IniEntry& entry : withMacros.entries) EXPECT_EQ(entry.section, u"Config4");

  recording.ClearWrites();
  EXPECT_FALSE(SaveProfile(recording, File(), 2, app.Settings));
  ASSERT_EQ(recording.Writes().size(), 1u);
  EXPECT_TRUE(recording.Writes()[0].batch);
  EXPECT_EQ(recording.Writes()[0].entries.size(), 46u);
}

TEST_F(ConfigFileTest, SaveDpiLevelTouchesOnlyThatKey) {
  EXPECT_FALSE(SaveProfile(ini, File(), 1, DefaultProfile(0)));
  const std::string before = Text();
  ProfileSettings s = DefaultProfile(0);
  s.DPI_LEVEL = 4;
  SaveDpiLevel(ini, File(), 1, s.DPI_LEVEL);
  std::string expected = before;
  expected.replace(expected.find("DPI_LEVEL=1"), 11, "DPI_LEVEL=4");
  EXPECT_EQ(Text(), expected);
}

TEST_F(ConfigFileTest, SectionNames) {
  struct Case {
    int profile;
    ProfileSource source;
    std::uint8_t verSel;
    std::u16string expected;
  };
  const Case cases[] = {
      {5, ProfileSource::ResetSection, 1, u"CfgReset_EN5"}, {5, ProfileSource::ResetSection, 0, u"CfgReset5"},
      {5, ProfileSource::ResetSection, 2, u"CfgReset5"},    {3, ProfileSource::ResetSection, 1, u"CfgReset3"},
      {5, ProfileSource::OwnSection, 1, u"Config5"},        {0, ProfileSource::OwnSection, 0, u"Config0"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadSectionName(c.profile, c.source, c.verSel), c.expected);
}

TEST_F(ConfigFileTest, ResetSectionOfProfileFiveFollowsTheLanguage) {
  WriteConfig("[CfgReset5]\nK0=2\n[CfgReset_EN5]\nK0=3\n[Config5]\nK0=4\n");
  const std::pair<std::uint8_t, std::int32_t> cases[] = {{1, 3}, {0, 2}, {7, 2}};
  for (const auto& [verSel, k0] : cases) {
    app.VER_SEL = verSel;
    LoadProfile(app, ini, dialogs, File(), 5, ProfileSource::ResetSection, false);
    EXPECT_EQ(app.Settings.K[0], k0) << int(verSel);
  }
  LoadProfile(app, ini, dialogs, File(), 5, ProfileSource::OwnSection, false);
  EXPECT_EQ(app.Settings.K[0], 4);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ConfigFileTest, ExportedProfileImportsWithItsMacros) {
  app.Settings = DefaultProfile(3);
  SetLevelColour(app.Settings, 2, 10, 200, 90);
  AssignButtonFunction(app.Settings, 4, 42);
  app.Settings.FIRE_TIME = 300;
  app.UserMacros.count = 3;
  for (int i = 0; i < 3; ++i) app.UserMacros.slots[i] = NamedMacro(u"macro " + DecimalText(i));
  app.UserMacros.slots[1].events[0] = {4, 1, 300};
  app.UserMacros.slots[1].eventCount = 1;
  const ProfileSettings exported = app.Settings;
  const UserMacroTable exportedMacros = app.UserMacros;
  const std::string file = folder.Path("exchange.ini");
  EXPECT_FALSE(SaveProfile(ini, file, 7, app.Settings, app.UserMacros));

  app.Settings = DefaultProfile(0);
  app.UserMacros = UserMacroTable{};
  LoadProfile(app, ini, dialogs, file, 7, ProfileSource::OwnSection, true);
  EXPECT_EQ(KeysAndValues(app.Settings), KeysAndValues(exported));
  EXPECT_EQ(app.Settings.DisplayColour, exported.DisplayColour);
  EXPECT_EQ(app.UserMacros.count, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(app.UserMacros.slots[i], exportedMacros.slots[i]) << i;
  EXPECT_EQ(app.SelectedMacro, 2);
}

TEST_F(ConfigFileTest, ASaveWithFewerMacrosLeavesOldKeysThatAreNotLoaded) {
  app.UserMacros.count = 3;
  for (int i = 0; i < 3; ++i) app.UserMacros.slots[i] = NamedMacro(u"old " + DecimalText(i));
  EXPECT_FALSE(SaveProfile(ini, File(), 1, app.Settings, app.UserMacros));
  app.UserMacros.count = 1;
  app.UserMacros.slots[0] = NamedMacro(u"new");
  EXPECT_FALSE(SaveProfile(ini, File(), 1, app.Settings, app.UserMacros));
  EXPECT_FALSE(ini.Read(File(), u"Config1", u"2", 4000).empty());

  app.UserMacros = UserMacroTable{};
  LoadProfile(app, ini, dialogs, File(), 1, ProfileSource::OwnSection, true);
  EXPECT_EQ(app.UserMacros.count, 1);
  EXPECT_EQ(MacroNameText(app.UserMacros.slots[0]), u"new");
  EXPECT_EQ(app.UserMacros.slots[1], Macro{});
}

TEST_F(ConfigFileTest, LoadingMacrosFromAMissingFileSaysSoOnce) {
  app.UserMacros.count = 4;
  app.SelectedMacro = 3;
  LoadProfile(app, ini, dialogs, folder.Path("missing.ini"), 7, ProfileSource::OwnSection, true);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].first, u"找不到配置文件");
  EXPECT_EQ(dialogs.shown[0].second, u"tolvar");
  EXPECT_EQ(app.UserMacros.count, 0);
  EXPECT_EQ(app.SelectedMacro, 0);
  EXPECT_EQ(app.Settings.K[0], 0);
}

TEST_F(ConfigFileTest, InitKeys) {
  WriteConfig("[Init]\nCurConfig=12345\nVER_SEL=257\n");
  EXPECT_EQ(ReadCurConfig(ini, File()), 1234);
  EXPECT_EQ(ReadLanguage(ini, File()), 1);
  EXPECT_FALSE(WriteCurConfig(ini, File(), 3));
  EXPECT_EQ(Text(), "[Init]\nCurConfig=3\nVER_SEL=257\n");
  EXPECT_EQ(ReadCurConfig(ini, File()), 3);
}

}  // namespace
}  // namespace tolvar
