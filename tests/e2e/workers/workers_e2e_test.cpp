// The program's host functions against the simulated mouse: a button press
// reported by the mouse makes the program play a user macro as key and
// button reports, send a consumer key, or take over the DPI level the mouse
// switched to.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "macros/macro_text.h"
#include "platform/ini/ini_file_store.h"
#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;

// Logical buttons 2..5 are the mouse's buttons 3, 5, 4 and 6 (3 and 4 are crossed).
const std::map<std::string, std::string> kHostFunctions = {
    {"K2", "41"},  // user macro 0
    {"K3", "21"},  // consumer key, usage 0x0223
    {"K4", "28"},  // consumer key, usage 0x00E2
    {"K5", "6"},   // next DPI level, switched by the mouse
    {"DPI_LEVEL", "1"}, {"DPI_SET_EN3", "0"}, {"DPI_SET_EN4", "0"}, {"DPI_SET_EN5", "0"},
};
constexpr int kMacroButton = 3;
constexpr int kDpiButton = 6;

// Time for the player to finish the pass of a report it has acted on, so
// that the next press starts a new pass instead of stopping this one.
constexpr auto kPassEnd = 300ms;

// The time between two reports of a macro may exceed the wait before it by
// this much on a loaded machine; more means the waits are not kept.
constexpr double kSlackMs = 150;
constexpr double kEarliestShare = 0.5;

struct KeyEvent {
  std::uint8_t code;
  std::uint8_t action;
  std::uint16_t delay;
};

Macro MacroOf(const std::u16string& name, std::uint8_t mode, std::uint16_t repeatCount,
              const std::vector<KeyEvent>& events) {
  Macro macro;
  macro.name = MacroNameFrom(name);
  macro.mode = mode;
  macro.repeatCount = repeatCount;
  macro.eventCount = static_cast<std::uint8_t>(events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    macro.events[i] = {events[i].code, events[i].action, events[i].delay};
  }
  return macro;
}

std::string IniValue(const std::string& file, const char16_t* section, const char16_t* key) {
  IniFileStore ini;
  return Utf16ToUtf8(ini.Read(file, section, key, 4000));
}

// The records after the settings sent at start.
std::vector<SimRecord> AfterStart(const std::vector<SimRecord>& records) {
  std::size_t reports = 0;
  auto it = records.begin();
  while (it != records.end() && reports < kSettingsReports) {
    if (it->kind == "F") ++reports;
    ++it;
  }
  return {it, records.end()};
}

std::vector<SimRecord> OfKind(const std::vector<SimRecord>& records, const std::string& kind) {
  std::vector<SimRecord> selected;
  std::copy_if(records.begin(), records.end(), std::back_inserter(selected),
               [&](const SimRecord& r) { return r.kind == kind; });
  return selected;
}

// What the mouse made of the key and button commands: "KEYS 04 00 ..", "BUTTONS FE".
std::vector<std::string> InputRecords(const std::vector<SimRecord>& records) {
  std::vector<std::string> texts;
  for (const auto& r : records) {
    if (r.kind == "KEYS" || r.kind == "BUTTONS") texts.push_back(r.kind + " " + Hex(r.bytes));
  }
  return texts;
}

class HostFunctionTest : public ::testing::Test {
 protected:
  // Starts the program on a profile with the host functions above and the
  // given user macros, and waits until the settings have reached the mouse.
  void Start(const UserMacroTable& macros) {
    test_.WriteConfig(ConfigWithProfile(1, kHostFunctions));
    test_.WriteUserMacros(macros);
    test_.StartSimulator();
    test_.StartProgram();
    ASSERT_TRUE(test_.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";
  }

  void StartWithMacro(const Macro& macro) {
    UserMacroTable macros;
    macros.slots[0] = macro;
    macros.count = 1;
    Start(macros);
  }

  std::vector<SimRecord> Records() const { return AfterStart(test_.SimLog()); }

  // Waits until `count` records of `kind` followed the start.
  bool WaitForRecords(const std::string& kind, std::size_t count, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return OfKind(Records(), kind).size() >= count; }, timeout);
  }

  void Press(int button) { test_.SimCommand("press " + std::to_string(button)); }
  void Release(int button) { test_.SimCommand("release " + std::to_string(button)); }

  ProgramUnderTest test_;
};

TEST_F(HostFunctionTest, UserMacroPlaysItsEventsWithTheirWaitsAndThenReleasesEverything) {
  // Keys 'A' (usage 4) and 'B' (usage 5) and the left mouse button (240),
  // overlapping; one delay of 0, which is played as 10 ms.
  const std::vector<KeyEvent> events = {
      {4, kActionPress, 40},
      {5, kActionPress, 0},
      {kLeftButtonCode, kActionPress, 25},
      {4, kActionRelease, 60},
      {kLeftButtonCode, kActionRelease, 15},
      {5, kActionRelease, 30},
  };
  StartWithMacro(MacroOf(u"e2e once", 0, 0, events));
  Press(kMacroButton);
  Release(kMacroButton);

  const std::vector<std::string> expected = {
      "KEYS 04 00 00 00 00 00",
      "KEYS 04 05 00 00 00 00",
      "BUTTONS FE",
      "KEYS 05 00 00 00 00 00",
      "BUTTONS FF",
      "KEYS 00 00 00 00 00 00",
      // Then everything is let go: the buttons, then the keys.
      "BUTTONS FF",
      "KEYS 00 00 00 00 00 00",
  };
  ASSERT_TRUE(WaitUntil([&] { return InputRecords(Records()).size() >= expected.size(); }, 20s))
      << "the macro was not played";
  std::this_thread::sleep_for(kPassEnd);
  const auto records = Records();
  EXPECT_EQ(InputRecords(records), expected) << "played once, in order, nothing more";

  // Each feature report carries its command and what the mouse logged.
  const auto reports = OfKind(records, "F");
  ASSERT_EQ(reports.size(), expected.size());
  for (std::size_t i = 0; i < reports.size(); ++i) {
    ASSERT_GE(reports[i].bytes.size(), 8u);
    EXPECT_EQ(reports[i].bytes[0], 0x07);
    const bool keys = expected[i].starts_with("KEYS");
    EXPECT_EQ(reports[i].bytes[1], keys ? 0x15 : 0x16) << reports[i].text;
  }

  // The waits before each next report: the event's delay (at least 10 ms);
  // after the last event also the first 10 ms of the release, then 10 ms.
  std::vector<double> waits;
  for (const KeyEvent& e : events) waits.push_back(std::max<int>(e.delay, 10));
  waits.back() += 10;
  waits.push_back(10);
  for (std::size_t i = 0; i + 1 < reports.size(); ++i) {
    const double gap = reports[i + 1].timeMs - reports[i].timeMs;
    // Reports are scheduled against absolute deadlines at their start; the
    // log stamps their arrival, which a loaded machine can delay for one
    // report and not the next. The exact schedule is checked with a fake
    // clock in the unit tests; here the gaps must be the recorded ones.
    EXPECT_GE(gap, waits[i] * kEarliestShare) << "report " << i + 1 << " came far too early: " << reports[i + 1].text;
    EXPECT_LE(gap, waits[i] + kSlackMs) << "report " << i + 1 << " came far too late: " << reports[i + 1].text;
  }
}

// How a macro's mode decides the number of repetitions, and how a second
// press or a release ends it after the repetition in progress.
enum class Ending { ByItsMode, BySecondPress, ByRelease };

struct RepetitionCase {
  const char* name;
  std::uint8_t mode;
  std::uint16_t repeatCount;
  Ending ending;
  std::size_t minRepetitions;
  std::size_t maxRepetitions;
};

void PrintTo(const RepetitionCase& c, std::ostream* out) { *out << c.name; }

class MacroRepetitionTest : public HostFunctionTest, public ::testing::WithParamInterface<RepetitionCase> {};

TEST_P(MacroRepetitionTest, PlaysWholeRepetitionsUntilItsModeOrTheButtonEndsIt) {
  const RepetitionCase& c = GetParam();
  // One repetition: two events and the two release reports, 4 reports in 80 ms.
  constexpr std::size_t kReportsPerRepetition = 4;
  StartWithMacro(MacroOf(u"e2e repeat", c.mode, c.repeatCount, {{4, kActionPress, 30}, {4, kActionRelease, 30}}));

  Press(kMacroButton);
  if (c.ending != Ending::ByRelease) Release(kMacroButton);
  if (c.ending != Ending::ByItsMode) {
    ASSERT_TRUE(WaitForRecords("F", 2 * kReportsPerRepetition, 20s)) << "the macro did not repeat";
    if (c.ending == Ending::BySecondPress) Press(kMacroButton);
    Release(kMacroButton);
  }

  // Wait until the reports stop coming.
  std::size_t count = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::size_t before = OfKind(Records(), "F").size();
        std::this_thread::sleep_for(kPassEnd);
        count = OfKind(Records(), "F").size();
        return count == before && count > 0;
      },
      30s))
      << "the macro does not end";
  EXPECT_EQ(count % kReportsPerRepetition, 0u) << "a repetition was cut short";
  const std::size_t repetitions = count / kReportsPerRepetition;
  EXPECT_GE(repetitions, c.minRepetitions);
  EXPECT_LE(repetitions, c.maxRepetitions);
  const std::vector<std::string> one = {"KEYS 04 00 00 00 00 00", "KEYS 00 00 00 00 00 00", "BUTTONS FF",
                                        "KEYS 00 00 00 00 00 00"};
  const auto played = InputRecords(Records());
  for (std::size_t i = 0; i < played.size(); ++i) {
    EXPECT_EQ(played[i], one[i % one.size()]) << "record " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MacroRepetitionTest,
    ::testing::Values(RepetitionCase{"RepeatCountThree", 1, 3, Ending::ByItsMode, 3, 3},
                      // A second press stops it after the repetition in progress and starts nothing.
                      RepetitionCase{"SecondPressStopsARepeatingMacro", 1, 1000, Ending::BySecondPress, 2, 6},
                      // While held: it repeats until the release, then ends its repetition.
                      RepetitionCase{"ReleaseStopsAWhileHeldMacro", 2, 0, Ending::ByRelease, 2, 6}),
    [](const ::testing::TestParamInfo<RepetitionCase>& info) { return std::string(info.param.name); });

TEST_F(HostFunctionTest, ConsumerKeyButtonsSendTheirUsageOncePerPress) {
  Start(UserMacroTable{});
  struct Step {
    int button;
    const char* usage;   // as the mouse logs it
    const char* report;  // the first four bytes of the feature report
  };
  // Buttons 5 and 4 are logical buttons 3 and 4.
  const Step steps[] = {{5, "0223", "07 17 02 23"}, {4, "00E2", "07 17 00 E2"}, {5, "0223", "07 17 02 23"}};
  std::size_t sent = 0;
  for (const Step& step : steps) {
    Press(step.button);
    Release(step.button);
    ++sent;
    ASSERT_TRUE(WaitForRecords("CONSUMER", sent, 20s)) << "button " << step.button << " sent nothing";
    std::this_thread::sleep_for(kPassEnd);
  }

  const auto records = Records();
  const auto consumer = OfKind(records, "CONSUMER");
  const auto reports = OfKind(records, "F");
  ASSERT_EQ(consumer.size(), std::size(steps)) << "one report per press, none per release";
  ASSERT_EQ(reports.size(), std::size(steps));
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    EXPECT_TRUE(consumer[i].text.ends_with(std::string("CONSUMER ") + steps[i].usage)) << consumer[i].text;
    ASSERT_GE(reports[i].bytes.size(), 4u);
    EXPECT_EQ(Hex({reports[i].bytes.begin(), reports[i].bytes.begin() + 4}), steps[i].report);
  }
}

TEST_F(HostFunctionTest, DpiButtonLevelReportedByTheMouseIsSavedInTheCurrentProfile) {
  Start(UserMacroTable{});
  const std::string config = test_.ConfigPath();
  ASSERT_TRUE(WaitUntil([&] { return IniValue(config, u"Config1", u"macroNum") == "0"; }, 10s))
      << "the start-up saves did not end";
  ASSERT_EQ(IniValue(config, u"Config1", u"DPI_LEVEL"), "1");

  // Levels 0..2 are on: the mouse steps from 1 to 2 and then wraps to 0.
  for (const char* level : {"2", "0"}) {
    Press(kDpiButton);
    Release(kDpiButton);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(config, u"Config1", u"DPI_LEVEL") == level; }, 20s))
        << "DPI_LEVEL is " << IniValue(config, u"Config1", u"DPI_LEVEL") << ", the mouse is at " << level;
    std::this_thread::sleep_for(kPassEnd);
  }
  EXPECT_EQ(IniValue(config, u"Config6", u"DPI_LEVEL"), "1") << "only the current profile takes the level";
  EXPECT_TRUE(OfKind(Records(), "F").empty()) << "the mouse switched by itself; nothing is sent";
}

}  // namespace
}  // namespace tolvar::testing
