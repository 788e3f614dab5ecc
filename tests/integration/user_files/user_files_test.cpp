// The per-user files of an installed program on the real file system: the
// first start seeds them from the delivered copies, later starts keep what
// the user has.
#include "platform/linux/user_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/child_process.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// An installed program folder, read-only, and a home folder.
class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    Write(Module() + "/skins/config/config.ini", "[Init]\nCurConfig=1\n");
    Write(Module() + "/Macro_EN.dat", "[Macros]\nmacroNum=0\n");
    Write(Module() + "/Macro_CN.dat", "[Macros]\nmacroNum=1\n");
    Write(Module() + "/constMacro.dat", "[Macros]\n");
    for (const auto& entry : fs::recursive_directory_iterator(Module())) {
      if (entry.is_regular_file()) fs::permissions(entry.path(), fs::perms(0444));
    }
  }

  std::string Module() const { return root_.Path() + "/usr/lib/tolvar"; }
  std::string Home() const { return root_.Path() + "/home"; }
  AppPaths Folders(const std::string& configHome = "") const {
    return LocateFolders(Module(), {false, configHome, Home()});
  }

  testing::TempDir root_;
};

TEST_F(InstalledProgram, TheFirstStartSeedsTheUsersFolderWithWritableCopies) {
  const AppPaths paths = ComputePaths(Folders());
  EXPECT_TRUE(SeedUserFiles(paths).empty());
  EXPECT_EQ(paths.UserDir, Home() + "/.config/tolvar");
  EXPECT_EQ(ReadWholeFile(paths.ConfigPath), "[Init]\nCurConfig=1\n");
  EXPECT_EQ(ReadWholeFile(MacroFilePathFor(paths, 1)), "[Macros]\nmacroNum=0\n");
  EXPECT_EQ(ReadWholeFile(paths.UserDir + "/Macro_CN.dat"), "[Macros]\nmacroNum=1\n");
  EXPECT_FALSE(fs::exists(paths.UserDir + "/constMacro.dat")) << "the fixed macros stay in the program's folder";
  for (const char* name : {"/config.ini", "/Macro_EN.dat", "/Macro_CN.dat"}) {
    const fs::perms perms = fs::status(paths.UserDir + name).permissions();
    EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none) << name;
  }
}

TEST_F(InstalledProgram, ALaterStartKeepsTheUsersFilesAndSeedsOnlyWhatIsMissing) {
  const AppPaths paths = ComputePaths(Folders(Home() + "/cfg"));
  ASSERT_TRUE(SeedUserFiles(paths).empty());
  EXPECT_EQ(paths.ConfigPath, Home() + "/cfg/tolvar/config.ini");
  Write(paths.ConfigPath, "[Init]\nCurConfig=3\n");
  fs::remove(paths.UserDir + "/Macro_CN.dat");
  // A package upgrade delivers new copies.
  fs::permissions(Module() + "/skins/config/config.ini", fs::perms(0644));
  Write(Module() + "/skins/config/config.ini", "[Init]\nCurConfig=5\n");

  EXPECT_TRUE(SeedUserFiles(paths).empty());
  EXPECT_EQ(ReadWholeFile(paths.ConfigPath), "[Init]\nCurConfig=3\n");
  EXPECT_EQ(ReadWholeFile(paths.UserDir + "/Macro_CN.dat"), "[Macros]\nmacroNum=1\n");
}

TEST_F(InstalledProgram, AFolderThatCannotBeCreatedIsReported) {
  Write(Home() + "/.config", "a file where the folder should be");
  const std::vector<std::string> failures = SeedUserFiles(ComputePaths(Folders()));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("cannot create " + Home() + "/.config/tolvar"), std::string::npos) << failures[0];
}

TEST_F(InstalledProgram, AWritableProgramFolderSeedsNothing) {
  const AppPaths paths = ComputePaths(LocateFolders(Module(), {true, "", Home()}));
  EXPECT_TRUE(SeedUserFiles(paths).empty());
  EXPECT_FALSE(fs::exists(Home()));
}

TEST(PathEnvironmentTest, ReadsTheEnvironmentAndTheFoldersAccess) {
  testing::TempDir folder;
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string savedValue = saved != nullptr ? saved : "";
  ::unsetenv("XDG_CONFIG_HOME");
  PathEnvironment environment = CurrentPathEnvironment(folder.Path());
  EXPECT_TRUE(environment.moduleDirWritable);
  EXPECT_EQ(environment.configHome, "");
  EXPECT_FALSE(environment.home.empty());

  ::setenv("XDG_CONFIG_HOME", "/tmp/somewhere", 1);
  EXPECT_EQ(CurrentPathEnvironment(folder.Path()).configHome, "/tmp/somewhere");
  if (saved != nullptr) {
    ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }

  // root may write anywhere; the read-only case is for other users.
  if (::geteuid() != 0) {
    fs::permissions(folder.Path(), fs::perms(0555));
    EXPECT_FALSE(CurrentPathEnvironment(folder.Path()).moduleDirWritable);
    fs::permissions(folder.Path(), fs::perms(0755));
  }
}

}  // namespace
}  // namespace tolvar
