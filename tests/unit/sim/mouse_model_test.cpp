#include "mouse_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/hid_descriptor.h"
#include "mouse_descriptor.h"

namespace tolvar::mousesim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An 8-byte command report: id 7, the command, then the given bytes.
Bytes Command(std::uint8_t command, std::initializer_list<std::uint8_t> bytes = {}) {
  Bytes report(kCommandReportLength, 0);
  report[0] = kCommandReportId;
  report[1] = command;
  std::size_t i = 2;
  for (std::uint8_t byte : bytes) report[i++] = byte;
  return report;
}

struct StateCase {
  const char* name;
  Bytes report;
  std::function<void(MouseState&)> expect;  // applied to the factory state
};

class CommandStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(CommandStateTest, CommandSetsExactlyItsFields) {
  MouseModel model;
  model.TakeFeatureReport(GetParam().report);
  MouseState expected;
  GetParam().expect(expected);
  const MouseState& actual = model.State();
  EXPECT_EQ(actual.functions, expected.functions);
  for (int level = 0; level < kDpiLevels; ++level) {
    EXPECT_EQ(actual.levels[level].step, expected.levels[level].step) << "level " << level;
    EXPECT_EQ(actual.levels[level].r, expected.levels[level].r) << "level " << level;
    EXPECT_EQ(actual.levels[level].g, expected.levels[level].g) << "level " << level;
    EXPECT_EQ(actual.levels[level].b, expected.levels[level].b) << "level " << level;
  }
  EXPECT_EQ(actual.dpiLevel, expected.dpiLevel);
  EXPECT_EQ(actual.enableMask, expected.enableMask);
  EXPECT_EQ(actual.cycleMask, expected.cycleMask);
  EXPECT_EQ(actual.lighting, expected.lighting);
  EXPECT_EQ(actual.fireTime, expected.fireTime);
  EXPECT_EQ(actual.reportRateCode, expected.reportRateCode);
  EXPECT_EQ(actual.wheelStatus, expected.wheelStatus);
  EXPECT_EQ(actual.heldKeys, expected.heldKeys);
  EXPECT_EQ(actual.buttonMask, expected.buttonMask);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandStateTest,
    ::testing::Values(
        // Level 2 with step index 7 (code 9), level 0 current, all enabled.
        StateCase{"DpiLevel", Command(0x09, {0x40, 0x9A, 0x3F}),
                  [](MouseState& s) {
                    s.dpiLevel = 0;
                    s.levels[2].step = 9;
                  }},
        StateCase{"DpiLevelMask", Command(0x09, {0x45, 0x1D, 0x21}),
                  [](MouseState& s) {
                    s.dpiLevel = 5;
                    s.levels[5].step = 1;
                    s.enableMask = 0x21;
                  }},
        StateCase{"DpiLevelCurrentOutOfRangeKeepsLevel", Command(0x09, {0x46, 0x78, 0x3F}),
                  [](MouseState& s) { s.levels[0].step = 7; }},
        StateCase{"DpiLevelIndexOutOfRangeKeepsSteps", Command(0x09, {0x42, 0x7E, 0x3F}),
                  [](MouseState& s) { s.dpiLevel = 2; }},
        StateCase{"ReportRate", Command(0x0A, {0x07}), [](MouseState& s) { s.reportRateCode = 7; }},
        StateCase{"ButtonFunction", Command(0x10, {5, 11}), [](MouseState& s) { s.functions[4] = 11; }},
        StateCase{"ButtonFunctionOfUnassignableButton", Command(0x10, {8, 1}), [](MouseState&) {}},
        StateCase{"ButtonFunctionOfButtonZero", Command(0x10, {0, 1}), [](MouseState&) {}},
        StateCase{"WheelStatus", Command(0x11, {1}), [](MouseState& s) { s.wheelStatus = 1; }},
        StateCase{"FireTime300", Command(0x12, {0x01, 0x2C}), [](MouseState& s) { s.fireTime = 300; }},
        StateCase{"Lighting", Command(0x13, {0x55, 0x85}),
                  [](MouseState& s) {
                    s.cycleMask = 0x55;
                    s.lighting = 0x85;
                  }},
        StateCase{"LevelColour", Command(0x14, {3 * 32 + 2, 0x45}),
                  [](MouseState& s) {
                    s.levels[3] = {s.levels[3].step, 4, 2, 5};
                  }},
        StateCase{"LevelColourOfLevelSix", Command(0x14, {6 * 32 + 2, 0x45}), [](MouseState&) {}},
        StateCase{"Keys", Command(0x15, {4, 6, 0, 0, 0, 0}), [](MouseState& s) { s.heldKeys = {4, 6, 0, 0, 0, 0}; }},
        StateCase{"MouseButtons", Command(0x16, {0, 0xFE}), [](MouseState& s) { s.buttonMask = 0xFE; }},
        StateCase{"ConsumerKeyKeepsState", Command(0x17, {0x00, 0xE9}), [](MouseState&) {}},
        StateCase{"DetachKeepsState", Command(0x20), [](MouseState&) {}},
        StateCase{"UnknownCommand", Command(0x33, {1, 2, 3}), [](MouseState&) {}},
        StateCase{"OtherReportId", Bytes{5, 0x12, 0x01, 0x2C, 0, 0, 0, 0}, [](MouseState&) {}},
        StateCase{"ShortReport", Bytes{7, 0x12, 0x01, 0x2C}, [](MouseState&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RecordCase {
  const char* name;
  Bytes report;
  std::vector<std::string> records;
  std::vector<Bytes> inputs;
};

class CommandRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(CommandRecordTest, LogsAndSendsWhatTheComputerSees) {
  MouseModel model;
  const Reaction reaction = model.TakeFeatureReport(GetParam().report);
  EXPECT_EQ(reaction.records, GetParam().records);
  EXPECT_EQ(reaction.inputReports, GetParam().inputs);
}

INSTANTIATE_TEST_SUITE_P(
    Records, CommandRecordTest,
    ::testing::Values(
        RecordCase{"Detach", Command(0x20), {"F 07 20 00 00 00 00 00 00"}, {}},
        RecordCase{
            "SettingsCommandOnlyFeatureRecord", Command(0x09, {0x40, 0x9A, 0x3F}), {"F 07 09 40 9A 3F 00 00 00"}, {}},
        RecordCase{"Keys",
                   Command(0x15, {0x04, 0x06, 0, 0, 0, 0}),
                   {"F 07 15 04 06 00 00 00 00", "KEYS 04 06 00 00 00 00"},
                   {{2, 0x00, 0x00, 0x04, 0x06, 0, 0, 0, 0}}},
        // Modifier usages become modifier bits; the other keys keep their order.
        RecordCase{"KeysWithModifiers",
                   Command(0x15, {0xE1, 0x04, 0xE0, 0x1D, 0, 0}),
                   {"F 07 15 E1 04 E0 1D 00 00", "KEYS E1 04 E0 1D 00 00"},
                   {{2, 0x03, 0x00, 0x04, 0x1D, 0, 0, 0, 0}}},
        RecordCase{"LeftButtonDown",
                   Command(0x16, {0x00, 0xFE}),
                   {"F 07 16 00 FE 00 00 00 00", "BUTTONS FE"},
                   {{1, 0x01, 0, 0, 0}}},
        RecordCase{"AllButtonsUp",
                   Command(0x16, {0x00, 0xFF}),
                   {"F 07 16 00 FF 00 00 00 00", "BUTTONS FF"},
                   {{1, 0x00, 0, 0, 0}}},
        RecordCase{"ConsumerVolumeUp",
                   Command(0x17, {0x00, 0xE9}),
                   {"F 07 17 00 E9 00 00 00 00", "CONSUMER 00E9"},
                   {{3, 0xE9, 0x00}, {3, 0x00, 0x00}}},
        RecordCase{"ConsumerHome",
                   Command(0x17, {0x02, 0x23}),
                   {"F 07 17 02 23 00 00 00 00", "CONSUMER 0223"},
                   {{3, 0x23, 0x02}, {3, 0x00, 0x00}}},
        // Every byte received is logged, whatever the length or report id.
        RecordCase{"LongReport", Bytes{7, 0x20, 0, 0, 0, 0, 0, 0, 0xAB}, {"F 07 20 00 00 00 00 00 00 AB"}, {}},
        RecordCase{"ShortKeysReport", Bytes{7, 0x15, 4}, {"F 07 15 04"}, {}},
        RecordCase{"OtherReportId", Bytes{2, 0x15, 4, 0, 0, 0, 0, 0}, {"F 02 15 04 00 00 00 00 00"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PressCase {
  const char* name;
  std::uint8_t function;  // of button 3
  std::uint8_t enableMask;
  int startLevel;
  std::uint8_t value;  // byte 2 asked for
  std::uint8_t sentByte2;
  int levelAfter;
};

class PressTest : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressTest, DpiFunctionsChangeTheLevelAndReportIt) {
  const PressCase& c = GetParam();
  MouseModel model;
  model.TakeFeatureReport(Command(0x10, {3, c.function}));
  model.TakeFeatureReport(Command(0x09, {static_cast<std::uint8_t>(0x40 + c.startLevel), 0x38, c.enableMask}));
  EXPECT_THAT(model.Press(3, c.value), ElementsAre(kButtonReportId, 0xF3, c.sentByte2, 0, 0, 0, 0, 0));
  EXPECT_EQ(model.State().dpiLevel, c.levelAfter);
}

INSTANTIATE_TEST_SUITE_P(Presses, PressTest,
                         ::testing::Values(PressCase{"NextWrapsToZero", 6, 0x3F, 5, 1, 0, 0},
                                           PressCase{"NextSkipsDisabled", 6, 0b010010, 1, 1, 4, 4},
                                           PressCase{"NextWrapsPastDisabled", 6, 0b000110, 2, 1, 1, 1},
                                           PressCase{"NextWithOnlyCurrentEnabledStays", 6, 0b000100, 2, 1, 2, 2},
                                           PressCase{"NextWithNoLevelEnabledStays", 6, 0x00, 2, 1, 2, 2},
                                           PressCase{"UpSkipsDisabled", 11, 0b110111, 2, 1, 4, 4},
                                           PressCase{"UpStopsAtTop", 11, 0x3F, 5, 1, 5, 5},
                                           PressCase{"UpStopsAtHighestEnabled", 11, 0b000111, 2, 1, 2, 2},
                                           PressCase{"DownSkipsDisabled", 12, 0b111011, 3, 1, 1, 1},
                                           PressCase{"DownStopsAtBottom", 12, 0x3F, 0, 1, 0, 0},
                                           PressCase{"ClickFunctionSendsValue", 1, 0x3F, 2, 0x37, 0x37, 2},
                                           PressCase{"ReportedFunctionSendsValue", 0, 0x3F, 2, 1, 1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MouseModelTest, ButtonReportsCarryTheButtonNumber) {
  MouseModel model;
  EXPECT_THAT(model.Press(8, 0x21), ElementsAre(kButtonReportId, 0xF8, 0x21, 0, 0, 0, 0, 0));
  EXPECT_THAT(model.Press(0, 1), ElementsAre(kButtonReportId, 0xF0, 1, 0, 0, 0, 0, 0));
  EXPECT_THAT(model.Release(15), ElementsAre(kButtonReportId, 0xFF, 0x80, 0, 0, 0, 0, 0));
  // Releasing a DPI button leaves the level alone.
  model.TakeFeatureReport(Command(0x10, {6, 6}));
  EXPECT_THAT(model.Release(6), ElementsAre(kButtonReportId, 0xF6, 0x80, 0, 0, 0, 0, 0));
  EXPECT_EQ(model.State().dpiLevel, 1);
}

TEST(MouseModelTest, SuccessivePressesWalkTheEnabledLevels) {
  MouseModel model;
  model.TakeFeatureReport(Command(0x10, {2, 6}));
  model.TakeFeatureReport(Command(0x09, {0x40, 0x38, 0b101001}));
  std::vector<int> levels;
  for (int i = 0; i < 4; ++i) levels.push_back(model.Press(2, 1)[2]);
  EXPECT_THAT(levels, ElementsAre(3, 5, 0, 3));
}

TEST(MouseModelTest, DescribesTheStateInWords) {
  MouseModel model;
  model.TakeFeatureReport(Command(0x10, {4, 12}));
  model.TakeFeatureReport(Command(0x09, {0x43, 0x89, 0x3B}));  // level 1: step 8
  model.TakeFeatureReport(Command(0x14, {0 * 32 + 15, 0x0A}));
  model.TakeFeatureReport(Command(0x13, {0x05, 0x86}));
  model.TakeFeatureReport(Command(0x12, {0x00, 0x32}));
  model.TakeFeatureReport(Command(0x0A, {0x00}));
  const std::string text = model.Describe();
  EXPECT_THAT(text, HasSubstr("button 1: function 0x01"));
  EXPECT_THAT(text, HasSubstr("button 4: function 0x0C (DPI level down)\n"));
  EXPECT_THAT(text, HasSubstr("DPI level 0: step 3, 600 DPI, colour R 0 G 15 B 10, enabled\n"));
  EXPECT_THAT(text, HasSubstr("DPI level 1: step 8, no DPI of its own, colour R 0 G 15 B 0, enabled\n"));
  EXPECT_THAT(text, HasSubstr("DPI level 2: step 6, 1200 DPI, colour R 15 G 0 B 15, disabled\n"));
  EXPECT_THAT(text, HasSubstr("DPI level 3: step 9, 2000 DPI, colour R 0 G 15 B 15, enabled, current\n"));
  EXPECT_THAT(text, HasSubstr("lighting: mode 2 (byte 0x86), cycle colours 0 2\n"));
  EXPECT_THAT(text, HasSubstr("fire time: 50\n"));
  EXPECT_THAT(text, HasSubstr("report rate: 1000 Hz (code 0)\n"));
}

TEST(MouseModelTest, DescribesLightingModes) {
  const struct {
    std::uint8_t byte;
    const char* words;
  } cases[] = {{0x92, "mode 1 (colour cycle), speed 2"},
               {0x80, "mode 0, speed 0"},
               {0x85, "mode 0, speed 5"},
               {0x86, "mode 2"},
               {0x87, "mode 3"},
               {0x42, "unknown"}};
  for (const auto& c : cases) {
    MouseModel model;
    model.TakeFeatureReport(Command(0x13, {0x7F, c.byte}));
    EXPECT_THAT(model.Describe(), HasSubstr(std::string("lighting: ") + c.words + " (byte 0x")) << int(c.byte);
  }
}

TEST(MouseDescriptorTest, TheProgramFindsBothVendorCollections) {
  const HidDescriptor parsed = ParseHidReportDescriptor(ReportDescriptor());
  ASSERT_EQ(parsed.error, HidDescriptorError::None);
  const HidCollection* input = nullptr;
  const HidCollection* feature = nullptr;
  for (const HidCollection& collection : parsed.collections) {
    if (collection.usagePage == 0xFF00 && collection.usage == 1) input = &collection;
    if (collection.usagePage == 0xFF01 && collection.usage == 1) feature = &collection;
  }
  EXPECT_EQ(parsed.collections.size(), 5u);
  ASSERT_NE(input, nullptr);
  ASSERT_NE(feature, nullptr);
  EXPECT_EQ(input->InputReportByteLength(), kButtonReportLength);
  EXPECT_THAT(input->InputReportIds(), ElementsAre(kButtonReportId));
  EXPECT_EQ(feature->FeatureReportByteLength(), kCommandReportLength);
  EXPECT_EQ(feature->reports.count(kCommandReportId), 1u);
}

}  // namespace
}  // namespace tolvar::mousesim
