// Starting the desktop programs: the first candidate found on PATH, started
// without a shell, without our open descriptors, and reaped when it ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/program_launcher_linux.h"
#include "unit/workers/worker_fakes.h"

namespace tolvar::testing {
namespace {

namespace fs = std::filesystem;

class ProgramLauncherTest : public ::testing::Test {
 protected:
  ProgramLauncherTest() {
    char pattern[] = "/tmp/tolvar-launcher-XXXXXX";
    folder_ = mkdtemp(pattern);
    const char* path = std::getenv("PATH");
    oldPath_ = path != nullptr ? path : "";
    setenv("PATH", (folder_ + "/empty:" + folder_ + "/bin").c_str(), 1);
    fs::create_directories(folder_ + "/bin");
  }
  ~ProgramLauncherTest() override {
    setenv("PATH", oldPath_.c_str(), 1);
    fs::remove_all(folder_);
  }

  // A program that writes its name, and whether descriptor `probeFd` is
  // open in it, into a file named after it.
  void AddProgram(const std::string& name, bool executable = true) {
    const std::string file = folder_ + "/bin/" + name;
    std::ofstream(file) << "#!/bin/sh\n"
                        << "if [ -e /proc/$$/fd/" << probeFd << " ]; then fd=open; else fd=closed; fi\n"
                        << "echo \"$0 $fd\" > '" << folder_ << "/" << name << ".ran'\n";
    chmod(file.c_str(), executable ? 0755 : 0644);
  }
  std::string Ran(const std::string& name) {
    std::ifstream in(folder_ + "/" + name + ".ran");
    std::string line;
    std::getline(in, line);
    return line;
  }
  bool Finished(const std::string& name) {
    return WaitFor([&] { return !Ran(name).empty(); });
  }

  int probeFd = -1;
  std::string folder_;
  std::string oldPath_;
};

TEST_F(ProgramLauncherTest, StartsTheFirstCandidateFoundAndReapsIt) {
  AddProgram("xcalc");
  const int inherited = open("/dev/null", O_RDONLY);  // without close-on-exec
  probeFd = inherited;
  AddProgram("kcalc");

  LinuxProgramLauncher launcher;
  const pid_t pid = launcher.StartFirst({"gnome-calculator", "kcalc", "galculator", "xcalc"});
  close(inherited);

  ASSERT_GT(pid, 0);
  ASSERT_TRUE(Finished("kcalc"));
  EXPECT_EQ(Ran("kcalc"), folder_ + "/bin/kcalc closed");
  EXPECT_TRUE(Ran("xcalc").empty());
  // A reaped child leaves no /proc entry behind; a zombie would.
  EXPECT_TRUE(WaitFor([&] { return !fs::exists("/proc/" + std::to_string(pid)); }));
}

TEST_F(ProgramLauncherTest, SkipsFilesThatAreNotExecutable) {
  AddProgram("gnome-terminal", false);
  AddProgram("xterm");
  LinuxProgramLauncher launcher;
  launcher.Start(SystemProgram::Terminal);
  ASSERT_TRUE(Finished("xterm"));
  EXPECT_TRUE(Ran("gnome-terminal").empty());
}

TEST_F(ProgramLauncherTest, EachProgramHasItsOwnList) {
  AddProgram("galculator");
  AddProgram("konsole");
  LinuxProgramLauncher launcher;
  launcher.Start(SystemProgram::Calculator);
  launcher.Start(SystemProgram::Terminal);
  EXPECT_TRUE(Finished("galculator"));
  EXPECT_TRUE(Finished("konsole"));
}

TEST_F(ProgramLauncherTest, NothingFoundStartsNothing) {
  LinuxProgramLauncher launcher;
  EXPECT_EQ(launcher.StartFirst({"gnome-calculator", "xcalc"}), -1);
  EXPECT_EQ(launcher.StartFirst({}), -1);
  launcher.Start(SystemProgram::Calculator);  // not reported, nothing happens
}

TEST_F(ProgramLauncherTest, NamesAreLookedUpOnPathOnly) {
  AddProgram("xterm");
  EXPECT_EQ(FindOnPath("xterm"), folder_ + "/bin/xterm");
  EXPECT_EQ(FindOnPath(folder_ + "/bin/xterm"), "");  // no paths, no shell words
  EXPECT_EQ(FindOnPath("bin/xterm"), "");
  EXPECT_EQ(FindOnPath(""), "");
}

// A name is a file name, never shell text: words with shell syntax find no
// program and run nothing, and a name with a blank runs as that one file.
TEST_F(ProgramLauncherTest, ANameIsNeverShellText) {
  AddProgram("xterm");
  AddProgram("my term");
  LinuxProgramLauncher launcher;
  for (const std::string& name : {"xterm; touch " + folder_ + "/pwned", "$(touch " + folder_ + "/pwned)",
                                  "`touch " + folder_ + "/pwned`", "xterm && touch " + folder_ + "/pwned"}) {
    EXPECT_EQ(launcher.StartFirst({name}), -1) << name;
  }
  ASSERT_GT(launcher.StartFirst({"my term"}), 0);
  ASSERT_TRUE(Finished("my term"));
  EXPECT_EQ(Ran("my term"), folder_ + "/bin/my term closed");
  EXPECT_TRUE(Ran("xterm").empty());
  EXPECT_FALSE(fs::exists(folder_ + "/pwned"));
}

}  // namespace
}  // namespace tolvar::testing
