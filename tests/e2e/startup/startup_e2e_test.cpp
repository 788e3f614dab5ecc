// The real program against the simulated mouse: start-up, discovery, the
// settings sent at start, and the two ways the program ends at once.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;

std::string IniValue(const std::string& file, const char16_t* section, const char16_t* key) {
  IniFileStore ini;
  return Utf16ToUtf8(ini.Read(file, section, key, 4000));
}

// Waits for a message box of the program (a visible window with the
// program's name as its caption) and confirms every one until the program
// ends. False when no box appeared.
bool ConfirmMessageBoxesUntilTheEnd(ProgramUnderTest& test) {
  const std::string findBox =
      "xdotool search --onlyvisible --pid " + std::to_string(test.Program().Pid()) + " --name '^tolvar$' 2>/dev/null";
  if (!WaitUntil([&] { return !RunAndRead(findBox).empty(); }, 20s)) return false;
  EXPECT_TRUE(test.Program().Running()) << "the program must wait for the message to be confirmed";
  WaitUntil(
      [&] {
        RunAndRead("for w in $(" + findBox + "); do xdotool windowfocus --sync $w key Return; done 2>/dev/null");
        return test.Program().WaitForExit(200ms).has_value();
      },
      20s);
  return true;
}

TEST(StartupE2eTest, WithoutTheMouseShowsThePlugInMessageAndLeavesNothingBehind) {
  ProgramUnderTest test;
  const auto before = test.FolderSnapshot();
  test.StartProgram(/*withSimulator=*/false);

  ASSERT_TRUE(ConfirmMessageBoxesUntilTheEnd(test)) << "no message box appeared";

  const auto status = test.Program().WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "the program did not end after the message";
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(test.FolderSnapshot(), before) << "no file may be written without the mouse";
  EXPECT_TRUE(test.RuntimeEntries().empty()) << "the single-instance lock and socket must be gone";
}

TEST(StartupE2eTest, FindsTheSimulatedMouseAndEndsWithoutAReportWhenItIsUnplugged) {
  ProgramUnderTest test;
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
  EXPECT_TRUE(test.Program().Running());

  test.SimCommand("unplug");
  const auto status = test.Program().WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "unplugging the mouse must end the program";
  EXPECT_EQ(*status, 0);

  const auto records = test.SimLog();
  bool unplugged = false;
  for (const auto& record : records) {
    if (record.kind == "UNPLUG") unplugged = true;
    EXPECT_FALSE(unplugged && record.kind == "F") << "a report after the unplug: " << record.text;
  }
  EXPECT_TRUE(unplugged);
  EXPECT_EQ(FeatureReports(records).size(), kSettingsReports);
}

// A profile whose every value shows in a report, and the 22 reports worked
// out from it by hand (8-byte reports; bytes a command does not write keep
// what the report before left in the buffer).
constexpr char kPreparedConfig[] =
    "[Init]\n"
    "CurConfig=3\n"
    "VER_SEL=1\n"
    "[Config3]\n"
    "K0=1\nK1=15\nK2=41\nK3=21\nK4=6\nK5=2\n"
    "DPI_LEVEL=2\nWHEEL_STATUS=1\nMACRO_MODE2=7\nCYC_7COL_EN=5\n"
    "DPI_SET0=0\nDPI_SET_EN0=1\nDPI0_R=15\nDPI0_G=15\nDPI0_B=0\n"
    "DPI_SET1=3\nDPI_SET_EN1=1\nDPI1_R=0\nDPI1_G=15\nDPI1_B=0\n"
    "DPI_SET2=7\nDPI_SET_EN2=1\nDPI2_R=1\nDPI2_G=2\nDPI2_B=3\n"
    "DPI_SET3=11\nDPI_SET_EN3=0\nDPI3_R=15\nDPI3_G=0\nDPI3_B=15\n"
    "DPI_SET4=9\nDPI_SET_EN4=1\nDPI4_R=8\nDPI4_G=8\nDPI4_B=8\n"
    "DPI_SET5=1\nDPI_SET_EN5=0\nDPI5_R=0\nDPI5_G=0\nDPI5_B=15\n"
    "LED_TYPE=0\nLED_CYC_TIME=5\nDPI_SPEED=9\nWHEEL_SPEED=2\nUSB_SPEED=0\nFIRE_TIME=300\n";

constexpr const char* kExpectedReports[kSettingsReports] = {
    "07 10 01 01 00 00 00 00",  // logical 0 -> button 1, primary click
    "07 10 02 0B 00 00 00 00",  // logical 1 -> button 2, code 15 sends 11
    "07 10 03 00 00 00 00 00",  // logical 2, user macro: played by the program
    "07 10 05 00 00 00 00 00",  // logical 3 is button 5, consumer key
    "07 10 04 06 00 00 00 00",  // logical 4 is button 4, DPI function 6
    "07 10 06 02 00 00 00 00",  // logical 5
    "07 11 01 00 00 00 00 00",  // wheel on
    "07 13 05 85 00 00 00 00",  // colours 0 and 2; mode 0 at speed 5
    "07 09 42 18 17 00 00 00",  // level 2 current; step 1 for 200 DPI; levels 0,1,2,4 on
    "07 14 0F F0 17 00 00 00", "07 09 42 49 17 00 00 00", "07 14 2F 00 17 00 00 00", "07 09 42 9A 17 00 00 00",
    "07 14 42 13 17 00 00 00", "07 09 42 FB 17 00 00 00", "07 14 60 FF 17 00 00 00", "07 09 42 DC 17 00 00 00",
    "07 14 88 88 17 00 00 00", "07 09 42 2D 17 00 00 00", "07 14 A0 0F 17 00 00 00",
    "07 12 01 2C 00 00 00 00",  // fire time 300
    "07 0A 07 00 00 00 00 00",  // report rate 0 sends 7
};

TEST(StartupE2eTest, SendsThePreparedProfileAndSavesItAsApplied) {
  ProgramUnderTest test;
  {
    std::ofstream config(test.ConfigPath(), std::ios::binary | std::ios::trunc);
    config << kPreparedConfig;
  }
  const std::string macroFile = test.AppDir() + "/Macro_EN.dat";
  const std::string macrosBefore = ReadWholeFile(macroFile);
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
  // The last save follows the last report.
  ASSERT_TRUE(WaitUntil([&] { return !IniValue(test.ConfigPath(), u"Config3", u"macroNum").empty(); }, 10s));

  const auto reports = FeatureReports(test.SimLog());
  ASSERT_EQ(reports.size(), kSettingsReports);
  for (std::size_t i = 0; i < kSettingsReports; ++i) {
    EXPECT_EQ(Hex(reports[i].bytes), kExpectedReports[i]) << "report " << i;
  }

  const std::string config = test.ConfigPath();
  EXPECT_EQ(IniValue(config, u"Init", u"CurConfig"), "3");
  const char16_t* keys[] = {u"K0",        u"K1",          u"K2",           u"K3",          u"K4",
                            u"K5",        u"DPI_LEVEL",   u"WHEEL_STATUS", u"MACRO_MODE2", u"CYC_7COL_EN",
                            u"DPI_SET3",  u"DPI_SET_EN3", u"DPI2_B",       u"LED_TYPE",    u"LED_CYC_TIME",
                            u"DPI_SPEED", u"WHEEL_SPEED", u"USB_SPEED",    u"FIRE_TIME",   u"macroNum"};
  for (const char16_t* key : keys) {
    EXPECT_EQ(IniValue(config, u"Config6", key), IniValue(config, u"Config3", key)) << Utf16ToUtf8(key);
    EXPECT_FALSE(IniValue(config, u"Config6", key).empty()) << Utf16ToUtf8(key);
  }
  EXPECT_EQ(IniValue(config, u"Config6", u"MACRO_MODE2"), "7");
  EXPECT_EQ(IniValue(config, u"Config6", u"CYC_7COL_EN"), "5");
  // The macro file is saved as it was loaded: the same bytes.
  EXPECT_EQ(ReadWholeFile(macroFile), macrosBefore);
  EXPECT_EQ(IniValue(config, u"Config3", u"macroNum"), IniValue(macroFile, u"Macros", u"macroNum"));
}

TEST(StartupE2eTest, AMissingLayoutFileEndsTheProgramBeforeAnythingIsSent) {
  ProgramUnderTest test;
  std::filesystem::remove(test.AppDir() + "/skins/INI_EN/skin_color_en.ini");
  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(ConfirmMessageBoxesUntilTheEnd(test)) << "no message box appeared";
  const auto status = test.Program().WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "the program must end after the message";
  EXPECT_EQ(*status, 0);
  EXPECT_TRUE(FeatureReports(test.SimLog()).empty()) << "the mouse is not opened before the skin is loaded";
}

// The session ends (logout sends SIGTERM; a closed terminal SIGHUP): the
// program ends as its exit command does, with the detach report.
TEST(StartupE2eTest, TheEndOfTheSessionSendsTheDetachReport) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    ProgramUnderTest test;
    test.StartSimulator();
    test.StartProgram();
    ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s));
    kill(test.Program().Pid(), signal);
    const auto status = test.Program().WaitForExit(20s);
    ASSERT_TRUE(status.has_value()) << "signal " << signal;
    EXPECT_EQ(*status, 0) << "signal " << signal;
    const auto reports = FeatureReports(test.SimLog());
    ASSERT_EQ(reports.size(), kSettingsReports + 1) << "signal " << signal;
    EXPECT_EQ(Hex(reports.back().bytes).substr(0, 11), "07 20 00 00") << "signal " << signal;
  }
}

}  // namespace
}  // namespace tolvar::testing

namespace tolvar::testing {
namespace {

// A copy of a program folder at a place of the system's, removed at the end.
class SystemCopy {
 public:
  SystemCopy(const std::string& from, const std::string& to) : path_(to) {
    std::filesystem::remove_all(path_);
    std::filesystem::copy(from, path_, std::filesystem::copy_options::recursive);
  }
  ~SystemCopy() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  SystemCopy(const SystemCopy&) = delete;
  SystemCopy& operator=(const SystemCopy&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadWholeFile(entry.path().string());
  }
  return files;
}

// Where the files the program writes go, decided by the program's place:
// under /usr it is installed, and even root's files go to root's own folder;
// the same program in a folder outside the system's keeps them beside it.
TEST(StartupE2eTest, TheProgramsPlaceDecidesWhereRootsFilesGo) {
  if (geteuid() != 0) GTEST_SKIP() << "only root may put the program under /usr";
  ProgramUnderTest test;
  const std::string home = test.ProgramEnvironment().at("HOME");
  const std::string userDir = test.ProgramEnvironment().at("XDG_CONFIG_HOME") + "/tolvar";
  test.StartSimulator();
  {
    const SystemCopy installed(test.AppDir(), "/usr/lib/tolvar-e2e-" + std::to_string(getpid()));
    const std::map<std::string, std::string> delivered = Snapshot(installed.Path());
    ChildProcess program({installed.Path() + "/tolvar"}, test.ProgramEnvironment());
    ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s)) << "the installed program did not start";
    EXPECT_EQ(IniValue(userDir + "/config.ini", u"Init", u"CurConfig"),
              IniValue(installed.Path() + "/skins/config/config.ini", u"Init", u"CurConfig"));
    EXPECT_TRUE(std::filesystem::exists(userDir + "/Macro_EN.dat"));
    program.Terminate(10s);
    EXPECT_EQ(Snapshot(installed.Path()), delivered) << "root's program wrote into /usr";
  }

  // Portable: the program in its own folder outside the system's, run by root.
  std::filesystem::remove_all(userDir);
  const std::map<std::string, std::string> before = Snapshot(test.AppDir());
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(2 * kSettingsReports + 1, 30s)) << "the portable program did not start";
  test.Program().Terminate(10s);
  EXPECT_FALSE(std::filesystem::exists(userDir)) << "a portable program keeps its files beside it";
  EXPECT_EQ(Snapshot(test.AppDir()).size(), before.size());
}

}  // namespace
}  // namespace tolvar::testing

namespace tolvar::testing {
namespace {

// The configuration folder on a tmpfs of 64 KiB, full: the first Apply, at
// start, cannot store profile 6; it sends the settings all the same and one
// message box says so; the file is as it was and the program runs on.
TEST(StartupE2eTest, AFullDiskAtTheFirstApplyIsReportedAndTheSettingsAreSentAllTheSame) {
  ProgramUnderTest test;
  const std::string folder = test.AppDir() + "/skins/config";
  if (::mount("tolvar-e2e", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "this process may not mount a tmpfs";
  }
  struct Unmount {
    std::string at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{folder};
  test.WriteConfig(ConfigWithProfile(2, {}));
  {
    std::ofstream filler(folder + "/filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) filler.flush();
  }
  const std::string before = ReadWholeFile(folder + "/config.ini");

  test.StartSimulator();
  test.StartProgram();
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings must be sent all the same";
  // The box: a visible window of the program whose title is the program's
  // name (the main window has its own title).
  const std::string findBox =
      "for w in $(xdotool search --onlyvisible --pid " + std::to_string(test.Program().Pid()) +
      " --name . 2>/dev/null); do [ \"$(xdotool getwindowname $w)\" = tolvar ] && echo $w; done";
  ASSERT_TRUE(WaitUntil([&] { return !RunAndRead(findBox).empty(); }, 20s)) << "no message box";
  const std::string confirm =
      "for w in $(" + findBox + "); do xdotool windowfocus $w; sleep 0.1; xdotool key Return; done";
  ASSERT_TRUE(WaitUntil(
      [&] {
        RunAndRead(confirm);
        return RunAndRead(findBox).empty();
      },
      20s))
      << "the box cannot be confirmed";
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(RunAndRead(findBox).empty()) << "one box for the one Apply";
  EXPECT_TRUE(test.Program().Running());
  EXPECT_EQ(ReadWholeFile(folder + "/config.ini"), before) << "nothing on disk changed";

  kill(test.Program().Pid(), SIGTERM);
  const std::optional<int> status = test.Program().WaitForExit(20s);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0);
  EXPECT_EQ(Hex(FeatureReports(test.SimLog()).back().bytes).substr(0, 11), "07 20 00 00");
}

}  // namespace
}  // namespace tolvar::testing
