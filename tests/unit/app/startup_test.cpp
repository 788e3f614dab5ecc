#include "app/startup.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tolvar {
namespace {

TEST(HideSwitchTest, TakesTheFourCharactersAfterTheLastDash) {
  const struct {
    std::u16string commandLine;
    bool hidden;
  } cases[] = {
      {u"/opt/tolvar/tolvar -HIDE", true},
      {u"/opt/tolvar/tolvar -hide", false},           // case-sensitive
      {u"/opt/tolvar/tolvar -HID", false},            // only three letters at the end
      {u"/opt/tolvar/tolvar -HIDEAWAY", true},        // only four characters compared
      {u"/opt/tolvar/tolvar -HIDE -x", false},        // the last '-' counts
      {u"/opt/tolvar-1.0/tolvar", false},             // a dash in the path
      {u"HIDE and seek", true},                       // no dash: the first four characters
      {u"/opt/tolvar/tolvar", false},
      {u"", false},
      {u"-", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasHideSwitch(c.commandLine), c.hidden) << Utf16ToUtf8(c.commandLine);
  }
}

TEST(ModuleDirTest, CutsBeforeTheLastSlash) {
  const struct {
    std::string programPath;
    std::string moduleDir;
    std::u16string applicationName;
  } cases[] = {
      {"/work/build/bin/tolvar", "/work/build/bin", u"tolvar"},
      {"/tolvar", "", u"tolvar"},
      {"tolvar", "", u"tolvar"},
      {"/opt/x.y/tolvar.bin", "/opt/x.y", u"tolvar"},
      {"/opt/dir/", "/opt/dir", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModuleDirOf(c.programPath), c.moduleDir) << c.programPath;
    EXPECT_EQ(ApplicationNameOf(c.programPath), c.applicationName) << c.programPath;
  }
}

TEST(ModuleDirTest, EmptyModuleDirMakesEveryPathStartAtTheRoot) {
  const AppPaths paths = ComputePaths("", 1);
  EXPECT_EQ(paths.SkinsDir, "/skins");
  EXPECT_EQ(paths.ConfigPath, "/skins/config/config.ini");
  EXPECT_EQ(paths.MacroFilePath, "/Macro_EN.dat");
  EXPECT_EQ(paths.FixedMacroPath, "/constMacro.dat");
  EXPECT_EQ(paths.MaskImagePath, "/skins/main_mask.jpg");
  EXPECT_EQ(ComputePaths("/p", 0).MacroFilePath, "/p/Macro_CN.dat");
}

TEST(ButtonIndexTest, IsTheInverseOfTheButtonNumberTable) {
  const auto index = BuildButtonIndexByNumber();
  const std::uint8_t expected[16] = {255, 0, 1, 2, 4, 3, 5, 255, 6, 255, 255, 255, 255, 255, 255, 255};
  for (int n = 0; n < 16; ++n) EXPECT_EQ(index[n], expected[n]) << n;
}

TEST(StartupTest, PlugInMessageNamesTheMouse) {
  EXPECT_EQ(PlugInMessage(kWindowTitle), u"Please plug-in【Quarrion DORVEL_KITE7】USB Mouse");
}

}  // namespace
}  // namespace tolvar
