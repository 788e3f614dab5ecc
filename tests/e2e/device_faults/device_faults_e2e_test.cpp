// The mouse failing in each way the simulator shows on command, while the
// program runs and Apply is clicked: the program keeps running (or, when
// the mouse goes, ends as an unplug ends it), no file is lost or damaged, a
// failed transfer is lost without retry or message, and the end of the
// session still sends the detach report when the mouse can take it.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "base/text.h"
#include "platform/ini/ini_file_store.h"
#include "skin/skin_layout.h"
#include "support/program_under_test.h"
#include "x11_session.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;
constexpr int kApplyRow = 3;
constexpr const char* kTitle = "Quarrion DORVEL_KITE7";
constexpr const char* kDetach = "07 20 00 00";

std::size_t CountOf(const std::vector<SimRecord>& records, const std::string& kind) {
  return static_cast<std::size_t>(
      std::count_if(records.begin(), records.end(), [&](const SimRecord& r) { return r.kind == kind; }));
}

struct FaultCase {
  const char* what;
  std::vector<std::string> commands;  // given to the simulator before Apply is clicked
  std::size_t taken;                  // feature reports the mouse takes of that Apply
  const char* lostKind;               // the log records of the lost reports ("REFUSED", "CUT"), or ""
  std::size_t lost;
  bool mouseGone;     // the fault unplugs the mouse: the program ends by itself
  bool channelWorks;  // a later Apply reaches the mouse, and so does the detach report
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.what; }

class DeviceFaultsE2eTest : public ::testing::TestWithParam<FaultCase> {
 protected:
  void Start() {
    x_ = X11Session::Open();
    ASSERT_NE(x_, nullptr) << "cannot open the display " << test_.Display();
    test_.StartSimulator();
    test_.StartProgram();
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
    ASSERT_TRUE(WaitUntil([&] { return (window_ = x_->WindowTitled(Pid(), kTitle)).has_value(); }, 20s));
    origin_ = *x_->Geometry(*window_);
  }

  pid_t Pid() { return test_.Program().Pid(); }

  void ClickApply() {
    IniFileStore ini;
    const std::u16string value = ini.Read(test_.AppDir() + "/skins/INI_EN/skin_main_en.ini", u"BUTTONPOS",
                                          Utf8ToUtf16(std::to_string(kApplyRow)), 260);
    const SkinRow fields = SplitSkinRow(value).fields;
    const int x = origin_.x + ParseDecimal(fields[1]) + ParseDecimal(fields[3]) / 2;
    const int y = origin_.y + ParseDecimal(fields[2]) + ParseDecimal(fields[4]) / 2;
    RunAndRead("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
    std::this_thread::sleep_for(50ms);
    RunAndRead("xdotool click 1");
  }

  // Waits until the log holds at least `count` records of `kind`.
  bool WaitForRecords(const std::string& kind, std::size_t count) {
    return WaitUntil([&] { return CountOf(test_.SimLog(), kind) >= count; }, 30s);
  }

  ProgramUnderTest test_;
  std::unique_ptr<X11Session> x_;
  std::optional<XWindowId> window_;
  ScreenRect origin_;
};

TEST_P(DeviceFaultsE2eTest, TheProgramSurvivesAndLosesOnlyTheFailedTransfers) {
  const FaultCase& c = GetParam();
  Start();
  const std::map<std::string, std::string> files = test_.FolderSnapshot();
  for (const std::string& command : c.commands) test_.SimCommand(command);
  ClickApply();

  const std::size_t takenBefore = kSettingsReports;
  if (c.lost > 0) {
    ASSERT_TRUE(WaitForRecords(c.lostKind, c.lost)) << c.what;
  }
  ASSERT_TRUE(WaitForRecords("F", takenBefore + c.taken)) << c.what;

  if (c.mouseGone) {
    const std::optional<int> status = test_.Program().WaitForExit(20s);
    ASSERT_TRUE(status.has_value()) << c.what << ": the program did not end when the mouse went";
    EXPECT_EQ(*status, 0) << c.what;
  } else {
    // Still running and answering: a second Apply.
    ClickApply();
    const std::size_t expected = takenBefore + c.taken + (c.channelWorks ? kSettingsReports : 0);
    if (c.channelWorks) {
      EXPECT_TRUE(WaitForRecords("F", expected)) << c.what << ": a later Apply did not reach the mouse";
    } else {
      std::this_thread::sleep_for(1s);  // what the second Apply would have sent has had time to arrive
    }
    ASSERT_TRUE(test_.Program().Running()) << c.what;
    EXPECT_EQ(FeatureReports(test_.SimLog()).size(), expected) << c.what << ": a lost transfer came again";
    kill(Pid(), SIGTERM);
    const std::optional<int> status = test_.Program().WaitForExit(20s);
    ASSERT_TRUE(status.has_value()) << c.what;
    EXPECT_EQ(*status, 0) << c.what;
    const std::vector<SimRecord> reports = FeatureReports(test_.SimLog());
    if (c.channelWorks) {
      ASSERT_EQ(reports.size(), expected + 1) << c.what;
      EXPECT_EQ(Hex(reports.back().bytes).substr(0, 11), kDetach) << c.what;
    } else {
      EXPECT_EQ(reports.size(), expected) << c.what << ": the detach report cannot reach the mouse";
    }
  }
  EXPECT_EQ(CountOf(test_.SimLog(), c.lostKind), c.lost) << c.what << ": a lost transfer was sent again";
  // Apply stores the same settings again: not one byte of a file changed.
  EXPECT_EQ(test_.FolderSnapshot(), files) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceFaultsE2eTest,
    ::testing::Values(
        FaultCase{"three feature reports refused", {"refuse 3"}, kSettingsReports - 3, "REFUSED", 3, false, true},
        FaultCase{"two answers a second late", {"delay 1000 2"}, kSettingsReports, "", 0, false, true},
        FaultCase{"short, empty and random input",
                  {"input 4", "input", "input 4 0xF9", "random-input 200"},
                  kSettingsReports,
                  "",
                  0,
                  false,
                  true},
        FaultCase{"the input connection closed in a report", {"cut-input"}, kSettingsReports, "", 0, false, true},
        FaultCase{"the feature connection closed in a report", {"cut-feature"}, 0, "CUT", 1, false, false},
        FaultCase{"the mouse gone in the middle of Apply", {"gone-after 5"}, 5, "", 0, true, false}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      }
      return name;
    });

}  // namespace
}  // namespace tolvar::testing
