#include "delivered_data.h"

#include <gtest/gtest.h>

#include "app/state_loading.h"
#include "config/button_catalogue.h"
#include "config/config_file.h"
#include "macros/macro_file.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "unit/config/fake_dialogs.h"
#include "unit/config/test_folder.h"

namespace tolvar {
namespace {

using testing::RecordingDialogs;
using testing::TestFolder;

const std::string kSource = TOLVAR_SOURCE_DIR;

TEST(DeliveredDataTest, CommittedFilesAreWhatTheBuilderWrites) {
  TestFolder out;
  ASSERT_TRUE(WriteDeliveredData(out.Root()));
  for (const char* file : kDeliveredFiles) {
    EXPECT_EQ(out.ReadFile(file), TestFolder::ReadBytes(kSource + "/" + file))
        << file << " differs: run tolvar-data-builder " << kSource;
  }
  // A second run over existing files gives the same bytes.
  ASSERT_TRUE(WriteDeliveredData(out.Root()));
  for (const char* file : kDeliveredFiles) EXPECT_EQ(out.ReadFile(file), TestFolder::ReadBytes(kSource + "/" + file));
}

class DeliveredConfigTest : public ::testing::Test {
 protected:
  DeliveredConfigTest() { config = kSource + "/skins/config/config.ini"; }

  ProfileSettings Load(int profile, ProfileSource source, std::uint8_t verSel) {
    app.VER_SEL = verSel;
    LoadProfile(app, ini, dialogs, config, profile, source, false);
    return app.Settings;
  }
  int UserMacroCount(const std::string& file) {
    LoadUserMacros(app, ini, dialogs, kSource + "/data/" + file, kMacroSection);
    return app.UserMacros.count;
  }

  std::string config;
  IniFileStore ini;
  RecordingDialogs dialogs;
  AppState app;
};

TEST_F(DeliveredConfigTest, FirstStartShowsProfileOneInEnglish) {
  EXPECT_EQ(ReadCurConfig(ini, config), 1);
  EXPECT_EQ(ReadLanguage(ini, config), 1);
  const auto entries = [](const ProfileSettings& s) {
    std::vector<std::u16string> values;
    for (const IniEntry& e : ProfileEntries(u"any", s)) values.push_back(e.value);
    return values;
  };
  EXPECT_EQ(entries(Load(1, ProfileSource::OwnSection, 1)), entries(DefaultProfile(0)));
}

TEST_F(DeliveredConfigTest, EveryProfileIsConsistentAndItsMacrosExist) {
  struct Variant {
    int profile;
    ProfileSource source;
    std::uint8_t verSel;
    const char* macroFile;
  };
  std::vector<Variant> variants;
  for (int p = 1; p <= 5; ++p) variants.push_back({p, ProfileSource::OwnSection, 1, "Macro_EN.dat"});
  for (int p = 2; p <= 5; ++p) {
    variants.push_back({p, ProfileSource::ResetSection, 0, "Macro_CN.dat"});
    variants.push_back({p, ProfileSource::ResetSection, 1, "Macro_EN.dat"});
  }
  for (const Variant& v : variants) {
    const ProfileSettings s = Load(v.profile, v.source, v.verSel);
    const int macros = UserMacroCount(v.macroFile);
    const std::string what = "profile " + std::to_string(v.profile) + " reset " +
                             std::to_string(v.source == ProfileSource::ResetSection) + " language " +
                             std::to_string(v.verSel);
    EXPECT_FALSE(NoOtherButtonHasPrimaryClick(s, -1)) << what;  // -1: no button left out
    ASSERT_GE(s.DPI_LEVEL, 0) << what;
    ASSERT_LT(s.DPI_LEVEL, kDpiLevelCount) << what;
    EXPECT_TRUE(s.DPI_SET_EN[s.DPI_LEVEL]) << what;
    EXPECT_NE(CycleColourMask(s), 0) << what;
    for (int i = 0; i < kButtonCount; ++i) {
      const std::int32_t code = s.K[i];
      EXPECT_TRUE(code >= 1 && code <= 52) << what << " K" << i;
      const HostActionTarget action = HostActionFor(code);
      if (action.action == HostAction::PlayUserMacro) {
        EXPECT_LT(action.index, macros) << what << " K" << i;
      }
    }
    for (int n = 0; n < kDpiLevelCount; ++n) EXPECT_LT(s.DPI_SET[n], kDpiStepCount) << what;
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DeliveredConfigTest, ProfilesDifferAndTheFifthResetFollowsTheLanguage) {
  std::vector<std::vector<std::u16string>> seen;
  for (int p = 1; p <= 5; ++p) {
    std::vector<std::u16string> values;
    for (const IniEntry& e : ProfileEntries(u"any", Load(p, ProfileSource::OwnSection, 1))) values.push_back(e.value);
    for (const auto& other : seen) EXPECT_NE(values, other) << "profile " << p;
    seen.push_back(values);
  }
  EXPECT_NE(Load(5, ProfileSource::ResetSection, 1).K[5], Load(5, ProfileSource::ResetSection, 0).K[5]);
}

TEST_F(DeliveredConfigTest, MacroFilesHoldTheirMacros) {
  LoadFixedMacros(app, ini, dialogs, kSource + "/data/constMacro.dat");
  ASSERT_EQ(app.FixedMacros.count, 8);
  const std::u16string fixed[] = {u"Copy",       u"Paste",        u"Cut",          u"Undo",
                                  u"Select all", u"Double click", u"Triple click", u"Switch window"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(MacroNameText(app.FixedMacros.slots[i]), fixed[i]);
    const Macro& m = app.FixedMacros.slots[i];
    ASSERT_GT(m.eventCount, 0);
    // Every key or button a macro presses it also releases.
    int held = 0;
    for (int e = 0; e < m.eventCount; ++e) held += m.events[e].action == kActionPress ? 1 : -1;
    EXPECT_EQ(held, 0) << i;
  }
  EXPECT_EQ(UserMacroCount("Macro_EN.dat"), 3);
  EXPECT_EQ(UserMacroCount("Macro_CN.dat"), 2);
  EXPECT_EQ(MacroNameText(app.UserMacros.slots[0]), u"인사");
  EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace tolvar
