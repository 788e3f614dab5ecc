// The real program's options: --version and --help, and --diagnose against
// the simulated mouse, which opens no window and writes nothing.
#include <gtest/gtest.h>

#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

class CommandLineE2eTest : public ::testing::Test {
 protected:
  // Runs the program copy with `option`, its output into a file; returns
  // the exit status and the output.
  std::pair<int, std::string> Run(const std::string& option, bool withSimulator = true) {
    const std::string out = test.RuntimeDir() + "/out.txt";
    ChildProcess program({"/bin/sh", "-c", "exec \"$0\" " + option + " >\"$1\" 2>&1", test.AppDir() + "/tolvar", out},
                         test.ProgramEnvironment(withSimulator));
    const auto status = program.WaitForExit(20s);
    EXPECT_TRUE(status.has_value()) << option << " did not end";
    return {status.value_or(-1), ReadWholeFile(out)};
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  ProgramUnderTest test;
};

TEST_F(CommandLineE2eTest, VersionAndHelp) {
  const auto [versionStatus, version] = Run("--version");
  EXPECT_EQ(versionStatus, 0);
  EXPECT_EQ(version, "tolvar " TOLVAR_VERSION "\n");
  const auto [helpStatus, help] = Run("--help");
  EXPECT_EQ(helpStatus, 0);
  EXPECT_TRUE(Has(help, "--diagnose")) << help;
}

TEST_F(CommandLineE2eTest, DiagnoseFindsTheSimulatedMouseWithoutAWindowOrAWrite) {
  test.StartSimulator();
  const auto before = test.FolderSnapshot();
  const auto [status, text] = Run("--diagnose");

  EXPECT_EQ(status, 0) << text;
  EXPECT_TRUE(Has(text, "Simulated mouse (TOLVAR_SIMULATOR=" + test.SimSocketPath() + "):")) << text;
  EXPECT_TRUE(Has(text, "  sim:" + test.SimSocketPath() + "  18f8:1686  the mouse\n")) << text;
  EXPECT_TRUE(Has(text,
                  "collection usage page 0xff00 usage 0x0001, report ids 4, input 8 bytes, feature 0 bytes"
                  "  <- the mouse's input collection"))
      << text;
  EXPECT_TRUE(Has(text,
                  "collection usage page 0xff01 usage 0x0001, report ids 7, input 0 bytes, feature 8 bytes"
                  "  <- the mouse's feature collection"))
      << text;
  EXPECT_TRUE(Has(text, "open for reading: yes\n    open for writing: yes\n")) << text;
  EXPECT_TRUE(Has(text, "every file lies beside the program")) << text;
  EXPECT_TRUE(Has(text, "configuration file " + test.ConfigPath() + "  (writable)")) << text;
  EXPECT_TRUE(Has(text, "user macro file    " + test.AppDir() + "/Macro_EN.dat  (writable)")) << text;
  EXPECT_TRUE(Has(text, "DISPLAY: " + test.Display())) << text;
  EXPECT_TRUE(Has(text, "tray host: none found")) << text;
  EXPECT_TRUE(Has(text, "Result: the mouse is usable.\n")) << text;
  EXPECT_TRUE(FeatureReports(test.SimLog()).empty()) << "the diagnosis sends nothing to the mouse";
  EXPECT_EQ(test.FolderSnapshot(), before);
  EXPECT_TRUE(RunAndRead("xdotool search --name 'DORVEL' 2>/dev/null").empty()) << "no window";
}

TEST_F(CommandLineE2eTest, DiagnoseWithTheSimulatedMouseUnplugged) {
  test.StartSimulator();
  test.SimCommand("unplug");
  ASSERT_TRUE(WaitUntil([&] { return Has(ReadWholeFile(test.SimLogPath()), "UNPLUG"); }, 10s));
  const auto [status, text] = Run("--diagnose");
  // A machine with the real mouse plugged in would find it among its hidraw nodes.
  if (Has(text, "18f8:1686  the mouse")) GTEST_SKIP() << "a real mouse is plugged in";
  EXPECT_EQ(status, 1) << text;
  EXPECT_TRUE(Has(text, "Simulated mouse (TOLVAR_SIMULATOR=" + test.SimSocketPath() + "):\n  none\n")) << text;
  EXPECT_TRUE(Has(text, "Result: the mouse (18f8:1686) is not connected")) << text;
}

}  // namespace
}  // namespace tolvar::testing
