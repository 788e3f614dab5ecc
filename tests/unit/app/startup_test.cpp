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
      {u"/opt/tolvar/tolvar -hide", false},     // case-sensitive
      {u"/opt/tolvar/tolvar -HID", false},      // only three letters at the end
      {u"/opt/tolvar/tolvar -HIDEAWAY", true},  // only four characters compared
      {u"/opt/tolvar/tolvar -HIDE -x", false},  // the last '-' counts
      {u"/opt/tolvar-1.0/tolvar", false},       // a dash in the path
      {u"HIDE and seek", true},                 // no dash: the first four characters
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

AppPaths Beside(const std::string& moduleDir) { return LocateFolders(moduleDir, {true, "", "/home/ann"}); }

TEST(ModuleDirTest, EmptyModuleDirMakesEveryPathStartAtTheRoot) {
  const AppPaths paths = ComputePaths(Beside(""));
  EXPECT_EQ(paths.SkinsDir, "/skins");
  EXPECT_EQ(paths.ConfigPath, "/skins/config/config.ini");
  EXPECT_EQ(MacroFilePathFor(paths, 1), "/Macro_EN.dat");
  EXPECT_EQ(paths.FixedMacroPath, "/constMacro.dat");
  EXPECT_EQ(paths.MaskImagePath, "/skins/main_mask.jpg");
  EXPECT_EQ(MacroFilePathFor(ComputePaths(Beside("/p")), 0), "/p/Macro_CN.dat");
}

TEST(FoldersTest, AWritableProgramFolderKeepsEveryFileBesideTheProgram) {
  const AppPaths paths = ComputePaths(LocateFolders("/work/build/bin", {true, "/home/ann/.cfg", "/home/ann"}));
  EXPECT_EQ(paths.UserDir, "");
  EXPECT_EQ(paths.DialogDir, "/work/build/bin");
  EXPECT_EQ(paths.SkinsDir, "/work/build/bin/skins");
  EXPECT_EQ(paths.ConfigPath, "/work/build/bin/skins/config/config.ini");
  EXPECT_EQ(MacroFilePathFor(paths, 1), "/work/build/bin/Macro_EN.dat");
  EXPECT_EQ(paths.FixedMacroPath, "/work/build/bin/constMacro.dat");
  EXPECT_TRUE(UserFileSeeds(paths).empty());
}

TEST(FoldersTest, AReadOnlyProgramFolderMovesTheWrittenFilesToTheUsersFolder) {
  const struct {
    PathEnvironment environment;
    std::string userDir;
  } cases[] = {
      {{false, "/home/ann/.cfg", "/home/ann"}, "/home/ann/.cfg/tolvar"},
      {{false, "", "/home/ann"}, "/home/ann/.config/tolvar"},              // XDG_CONFIG_HOME unset
      {{false, "relative/cfg", "/home/ann"}, "/home/ann/.config/tolvar"},  // not absolute: ignored
  };
  for (const auto& c : cases) {
    const AppPaths paths = ComputePaths(LocateFolders("/usr/lib/tolvar", c.environment));
    EXPECT_EQ(paths.UserDir, c.userDir);
    EXPECT_EQ(paths.DialogDir, "/home/ann");
    EXPECT_EQ(paths.ConfigPath, c.userDir + "/config.ini");
    EXPECT_EQ(MacroFilePathFor(paths, 0), c.userDir + "/Macro_CN.dat");
    EXPECT_EQ(MacroFilePathFor(paths, 1), c.userDir + "/Macro_EN.dat");
    // The skin and the fixed macros are read from the installed folder.
    EXPECT_EQ(paths.SkinsDir, "/usr/lib/tolvar/skins");
    EXPECT_EQ(paths.MaskImagePath, "/usr/lib/tolvar/skins/main_mask.jpg");
    EXPECT_EQ(paths.FixedMacroPath, "/usr/lib/tolvar/constMacro.dat");
    EXPECT_EQ(UserFileSeeds(paths), (std::vector<SeedCopy>{
                                        {"/usr/lib/tolvar/skins/config/config.ini", c.userDir + "/config.ini"},
                                        {"/usr/lib/tolvar/Macro_EN.dat", c.userDir + "/Macro_EN.dat"},
                                        {"/usr/lib/tolvar/Macro_CN.dat", c.userDir + "/Macro_CN.dat"},
                                    }));
  }
}

TEST(FoldersTest, AProgramInTheSystemsTreeKeepsTheUsersFilesInTheUsersFolderWhoeverRunsIt) {
  // writable: whether the user running it may write the program's folder
  // (root may write /usr/lib/tolvar).
  const struct {
    std::string moduleDir;
    bool writable;
    std::string home;
    std::string userDir;  // empty: portable, the files stay beside the program
  } cases[] = {
      {"/usr/lib/tolvar", true, "/root", "/root/.config/tolvar"},  // root, the package's place
      {"/usr/lib/tolvar", false, "/home/ann", "/home/ann/.config/tolvar"},
      {"/usr/local/lib/tolvar", true, "/root", "/root/.config/tolvar"},
      {"/usr", true, "/root", "/root/.config/tolvar"},
      {"/opt/tolvar", true, "/root", "/root/.config/tolvar"},
      {"/lib/tolvar", true, "/root", "/root/.config/tolvar"},
      {"/home/ann/tolvar", true, "/home/ann", ""},  // portable: unpacked by the user
      {"/home/ann/tolvar", true, "/root", ""},      // portable, run by root
      {"/home/ann/tolvar", false, "/home/bob", "/home/bob/.config/tolvar"},
      {"/usrlocal/tolvar", true, "/root", ""},  // a name that only begins like /usr
      {"/optical/tolvar", true, "/root", ""},
      {"/media/stick/tolvar", true, "/home/ann", ""},
  };
  for (const auto& c : cases) {
    const AppPaths paths = ComputePaths(LocateFolders(c.moduleDir, {c.writable, "", c.home}));
    EXPECT_EQ(paths.UserDir, c.userDir) << c.moduleDir << " writable " << c.writable;
    const std::string filesDir = c.userDir.empty() ? c.moduleDir + "/skins/config" : c.userDir;
    EXPECT_EQ(paths.ConfigPath, filesDir + "/config.ini") << c.moduleDir;
    EXPECT_EQ(paths.DialogDir, c.userDir.empty() ? c.moduleDir : c.home) << c.moduleDir;
    EXPECT_EQ(paths.SkinsDir, c.moduleDir + "/skins");
  }
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
