// The desktop settings adapter against real GSettings (keyfile backend in a
// temporary folder, with a schema compiled for the test) and a real
// kcminputrc written through our INI engine.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/ini/ini_file_store.h"
#include "platform/linux/desktop_pointer_settings.h"
#include "unit/config/test_folder.h"

namespace tolvar {
namespace {

using testing::TestFolder;

constexpr const char* kSchemas = R"(<schemalist>
  <schema id="org.gnome.desktop.peripherals.mouse" path="/org/gnome/desktop/peripherals/mouse/">
    <key name="speed" type="d"><default>0.0</default><range min="-1" max="1"/></key>
  </schema>
  <schema id="org.tolvar.test.integer-speed" path="/org/tolvar/test/integer-speed/">
    <key name="speed" type="i"><default>0</default></key>
  </schema>
</schemalist>
)";

// GLib reads XDG_CONFIG_HOME once per process, so the whole process gets
// one private configuration folder, set before any GLib call.
class PrivateDesktop : public ::testing::Environment {
 public:
  static TestFolder& Folder() {
    static TestFolder folder;
    return folder;
  }
  void SetUp() override {
    TestFolder& folder = Folder();
    folder.WriteFile("schemas/tolvar-test.gschema.xml", kSchemas);
    const std::string compile = "glib-compile-schemas " + folder.Path("schemas");
    ASSERT_EQ(std::system(compile.c_str()), 0) << "glib-compile-schemas (package libglib2.0-bin) is needed";
    std::filesystem::create_directories(folder.Path("config"));
    setenv("XDG_CONFIG_HOME", folder.Path("config").c_str(), 1);
    setenv("GSETTINGS_BACKEND", "keyfile", 1);
    setenv("GSETTINGS_SCHEMA_DIR", folder.Path("schemas").c_str(), 1);
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PrivateDesktop);

std::string ConfigDir() { return PrivateDesktop::Folder().Path("config"); }

// The speed as another program reading the desktop's settings sees it.
double StoredSpeed() {
  GSettings* settings = g_settings_new(kGnomeMouseSchema);
  const double value = g_settings_get_double(settings, "speed");
  g_object_unref(settings);
  return value;
}

void StoreSpeed(double value) {
  GSettings* settings = g_settings_new(kGnomeMouseSchema);
  g_settings_set_double(settings, "speed", value);
  g_settings_sync();
  g_object_unref(settings);
}

TEST(DesktopSettingsTest, PointerSpeedMapsOntoTheGnomeMouseSpeed) {
  IniFileStore ini;
  DesktopPointerSettings desktop(ini, ConfigDir());
  struct Case {
    int speed;
    double stored;
    int readBack;
  };
  const Case cases[] = {{1, -0.9, 1},  {8, -0.2, 8}, {10, 0.0, 10}, {18, 0.8, 18},
                        {20, 1.0, 20}, {0, -1.0, 1}, {30, 1.0, 20}};
  for (const auto& c : cases) {
    desktop.SetPointerSpeed(c.speed);
    EXPECT_NEAR(StoredSpeed(), c.stored, 1e-9) << c.speed;
    EXPECT_EQ(desktop.PointerSpeed(), c.readBack) << c.speed;
  }
  const std::string keyfile = TestFolder::ReadBytes(ConfigDir() + "/glib-2.0/settings/keyfile");
  EXPECT_NE(keyfile.find("[org/gnome/desktop/peripherals/mouse]"), std::string::npos) << keyfile;
}

TEST(DesktopSettingsTest, ASpeedSetByTheDesktopReadsOnOurScale) {
  IniFileStore ini;
  DesktopPointerSettings desktop(ini, ConfigDir());
  const std::pair<double, int> cases[] = {{-1.0, 1}, {-0.44, 6}, {0.26, 13}, {1.0, 20}};
  for (const auto& [stored, speed] : cases) {
    StoreSpeed(stored);
    EXPECT_EQ(desktop.PointerSpeed(), speed) << stored;
  }
}

TEST(DesktopSettingsTest, WithoutTheSchemaThePointerSpeedIsLeftAlone) {
  IniFileStore ini;
  StoreSpeed(0.3);
  for (const char* schema : {"org.tolvar.test.absent", "org.tolvar.test.integer-speed"}) {
    DesktopPointerSettings desktop(ini, ConfigDir(), schema);
    EXPECT_EQ(desktop.PointerSpeed(), std::nullopt) << schema;
    desktop.SetPointerSpeed(2);
  }
  EXPECT_NEAR(StoredSpeed(), 0.3, 1e-9);
}

TEST(DesktopSettingsTest, WheelLinesGoToAnExistingKdeInputFileOnly) {
  IniFileStore ini;
  TestFolder kdeConfig;
  DesktopPointerSettings desktop(ini, kdeConfig.Root());
  EXPECT_EQ(desktop.WheelScrollLines(), std::nullopt);
  desktop.SetWheelScrollLines(5);
  EXPECT_FALSE(std::filesystem::exists(kdeConfig.Path("kcminputrc")));

  kdeConfig.WriteFile("kcminputrc", "[Keyboard]\nRepeatRate=25\n\n[Mouse]\nXLbInptAccelProfileFlat=true\n");
  EXPECT_EQ(desktop.WheelScrollLines(), 3);  // KDE's default while the key is absent
  desktop.SetWheelScrollLines(5);
  EXPECT_EQ(desktop.WheelScrollLines(), 5);
  EXPECT_EQ(kdeConfig.ReadFile("kcminputrc"),
            "[Keyboard]\nRepeatRate=25\n\n[Mouse]\nXLbInptAccelProfileFlat=true\nWheelScrollLines=5\n");
}

TEST(DesktopSettingsTest, UserConfigDirFollowsXdgConfigHome) { EXPECT_EQ(UserConfigDir(), ConfigDir()); }

}  // namespace
}  // namespace tolvar
