#include "device/feature_report.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tolvar {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes a command does not write keep this value.
constexpr std::uint8_t kOld = 0xEE;

struct LayoutCase {
  std::string name;
  std::function<void(std::span<std::uint8_t>)> compose;
  Bytes expected;  // the first 8 bytes after composing over kOld
};

std::vector<LayoutCase> LayoutCases() {
  using namespace compose;
  constexpr auto O = kOld;
  return {
      {"DpiLevelExample", [](auto r) { DpiLevel(r, 2, 0, 9, 0x3F); }, {7, 0x09, 0x40, 0x9A, 0x3F, O, O, O}},
      {"DpiLevelTopStep", [](auto r) { DpiLevel(r, 5, 5, 15, 0x21); }, {7, 0x09, 0x45, 0xFD, 0x21, O, O, O}},
      {"DpiLevelBytesWrap", [](auto r) { DpiLevel(r, 0, 0xC0, 16, 0); }, {7, 0x09, 0x00, 0x08, 0x00, O, O, O}},
      {"UsbSpeed0", [](auto r) { UsbSpeed(r, 0); }, {7, 0x0A, 7, 0, O, O, O, O}},
      {"UsbSpeed1", [](auto r) { UsbSpeed(r, 1); }, {7, 0x0A, 3, 0, O, O, O, O}},
      {"UsbSpeed2", [](auto r) { UsbSpeed(r, 2); }, {7, 0x0A, 1, 0, O, O, O, O}},
      {"UsbSpeed3", [](auto r) { UsbSpeed(r, 3); }, {7, 0x0A, 0, 0, O, O, O, O}},
      {"UsbSpeedOther", [](auto r) { UsbSpeed(r, 4); }, {7, 0x0A, 1, 0, O, O, O, O}},
      {"ButtonLogical0", [](auto r) { ButtonFunction(r, 0, 13); }, {7, 0x10, 1, 13, O, O, O, O}},
      {"ButtonLogical3IsDevice5", [](auto r) { ButtonFunction(r, 3, 11); }, {7, 0x10, 5, 11, O, O, O, O}},
      {"ButtonLogical4IsDevice4", [](auto r) { ButtonFunction(r, 4, 0); }, {7, 0x10, 4, 0, O, O, O, O}},
      {"ButtonLogical6IsDevice8", [](auto r) { ButtonFunction(r, 6, 2); }, {7, 0x10, 8, 2, O, O, O, O}},
      {"ButtonOutsideTable", [](auto r) { ButtonFunction(r, 7, 2); }, {7, 0x10, 0, 2, O, O, O, O}},
      {"ButtonNegative", [](auto r) { ButtonFunction(r, -1, 2); }, {7, 0x10, 0, 2, O, O, O, O}},
      {"WheelStatusLowByte", [](auto r) { WheelStatus(r, 0x1FF); }, {7, 0x11, 0xFF, 0, O, O, O, O}},
      {"FireTime300", [](auto r) { FireTime(r, 300); }, {7, 0x12, 0x01, 0x2C, 0, 0, 0, 0}},
      {"FireTime50", [](auto r) { FireTime(r, 50); }, {7, 0x12, 0x00, 0x32, 0, 0, 0, 0}},
      {"FireTimeAbove16Bits", [](auto r) { FireTime(r, 0x12345); }, {7, 0x12, 0x23, 0x45, 0, 0, 0, 0}},
      {"FireTimeNegative", [](auto r) { FireTime(r, -1); }, {7, 0x12, 0xFF, 0xFF, 0, 0, 0, 0}},
      {"LightingSteadyCycle5", [](auto r) { Lighting(r, 0x7F, 0, 5); }, {7, 0x13, 0x7F, 0x85, O, O, O, O}},
      {"LightingType1", [](auto r) { Lighting(r, 0x10, 1, 3); }, {7, 0x13, 0x10, 0x93, O, O, O, O}},
      {"LightingType2IgnoresCycle", [](auto r) { Lighting(r, 0, 2, 5); }, {7, 0x13, 0x00, 0x86, O, O, O, O}},
      {"LightingType3", [](auto r) { Lighting(r, 1, 3, 4); }, {7, 0x13, 0x01, 0x87, O, O, O, O}},
      {"LightingOtherType", [](auto r) { Lighting(r, 1, 9, 0); }, {7, 0x13, 0x01, 0x90, O, O, O, O}},
      {"LightingCycleWraps", [](auto r) { Lighting(r, 1, 0, 0x90); }, {7, 0x13, 0x01, 0x10, O, O, O, O}},
      {"LevelColourTop", [](auto r) { LevelColour(r, 5, 15, 15, 15); }, {7, 0x14, 0xAF, 0xFF, O, O, O, O}},
      {"LevelColourChannels", [](auto r) { LevelColour(r, 1, 0x3, 0x5, 0x9); }, {7, 0x14, 0x25, 0x39, O, O, O, O}},
      {"LevelColourWraps", [](auto r) { LevelColour(r, 7, 16, 40, 1); }, {7, 0x14, 0x08, 0x01, O, O, O, O}},
      {"Keys",
       [](auto r) {
         Keys(r, {4, 6, 0, 0, 0, 0});
       },
       {7, 0x15, 4, 6, 0, 0, 0, 0}},
      {"MouseButtonsWritesByte3Only", [](auto r) { MouseButtons(r, 0xFE); }, {7, 0x16, O, 0xFE, O, O, O, O}},
      {"ConsumerKeyHome", [](auto r) { ConsumerKey(r, 0x0223); }, {7, 0x17, 0x02, 0x23, O, O, O, O}},
      {"Detach", [](auto r) { Detach(r); }, {7, 0x20, 0, 0, O, O, O, O}},
  };
}

class FeatureReportLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(FeatureReportLayout, WritesExactlyItsBytes) {
  Bytes report(12, kOld);
  GetParam().compose(report);
  EXPECT_EQ(Bytes(report.begin(), report.begin() + 8), GetParam().expected);
  EXPECT_EQ(Bytes(report.begin() + 8, report.end()), Bytes(4, kOld));
}

TEST_P(FeatureReportLayout, ShortBufferGetsOnlyWhatFits) {
  // Bytes past a short buffer are not written (the sanitizer build catches any).
  for (std::size_t size = 0; size < 8; ++size) {
    Bytes report(size, kOld);
    GetParam().compose(report);
    EXPECT_EQ(report,
              Bytes(GetParam().expected.begin(), GetParam().expected.begin() + static_cast<std::ptrdiff_t>(size)));
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FeatureReportLayout, testing::ValuesIn(LayoutCases()),
                         [](const auto& info) { return info.param.name; });

TEST(ConsumerUsageTable, IndexToUsage) {
  const std::vector<std::pair<int, std::uint16_t>> cases = {
      {0, 0x0223}, {1, 0x0183}, {2, 0x018A}, {3, 0x00E9},  {4, 0x00EA}, {5, 0x00B6}, {6, 0x00B5},
      {7, 0x00E2}, {8, 0x00CD}, {9, 0x0192}, {10, 0x00B7}, {11, 0},     {-1, 0},     {1000, 0}};
  for (const auto& [index, usage] : cases) EXPECT_EQ(ConsumerUsage(index), usage) << "index " << index;
}

// Records every report sent, and what happened between the sends.
class RecordingChannel : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t> report) override {
    std::lock_guard lock(mutex_);
    sent.emplace_back(report.begin(), report.end());
    log.push_back("send " + std::to_string(report[1]));
    return succeed;
  }
  std::mutex mutex_;
  std::vector<Bytes> sent;
  std::vector<std::string> log;
  bool succeed = true;
};

class InputStateTest : public testing::Test {
 protected:
  void SetUp() override { reporter.Attach(&channel, 8); }

  Bytes LastKeys() const { return Bytes(channel.sent.back().begin() + 2, channel.sent.back().end()); }

  RecordingChannel channel;
  FeatureReporter reporter;
  InputState state;
};

TEST_F(InputStateTest, KeysPackFromTheFirstSlot) {
  for (std::uint8_t key : {4, 5, 6}) state.SendKeyState(reporter, key, kActionPress);
  state.SendKeyState(reporter, 5, kActionRelease);
  ASSERT_EQ(channel.sent.size(), 4u);
  EXPECT_EQ(channel.sent.back()[1], 0x15);
  EXPECT_EQ(LastKeys(), (Bytes{4, 6, 0, 0, 0, 0}));
}

TEST_F(InputStateTest, SeventhKeyIsDroppedButReported) {
  for (std::uint8_t key = 4; key <= 10; ++key) state.SendKeyState(reporter, key, kActionPress);
  EXPECT_EQ(channel.sent.size(), 7u);
  EXPECT_EQ(LastKeys(), (Bytes{4, 5, 6, 7, 8, 9}));
}

TEST_F(InputStateTest, ReleaseOfAKeyNotHeldEmptiesTheLastSlot) {
  for (std::uint8_t key = 4; key <= 9; ++key) state.SendKeyState(reporter, key, kActionPress);
  state.SendKeyState(reporter, 0x50, kActionRelease);
  EXPECT_EQ(LastKeys(), (Bytes{4, 5, 6, 7, 8, 0}));
}

TEST_F(InputStateTest, UnknownKeyActionChangesNothingButSends) {
  state.SendKeyState(reporter, 4, kActionPress);
  state.SendKeyState(reporter, 4, 3);
  ASSERT_EQ(channel.sent.size(), 2u);
  EXPECT_EQ(LastKeys(), (Bytes{4, 0, 0, 0, 0, 0}));
}

TEST_F(InputStateTest, MouseButtonsClearTheirBitWhileDown) {
  struct Step {
    std::uint8_t code, action, mask;
  };
  const std::vector<Step> steps = {
      {kLeftButtonCode, kActionPress, 0xFE},
      {kLeftButtonCode, kActionRelease, 0xFF},
      {kRightButtonCode, kActionPress, 0xFD},
      {kMiddleButtonCode, kActionPress, 0xF9},
      {243, kActionPress, 0xF9},
      {kRightButtonCode, 7, 0xF9},
      {kMiddleButtonCode, kActionRelease, 0xFD},
      {kRightButtonCode, kActionRelease, 0xFF},
  };
  for (const Step& step : steps) {
    state.SendKeyState(reporter, step.code, step.action);
    const Bytes& report = channel.sent.back();
    EXPECT_EQ(report[1], 0x16) << int(step.code);
    EXPECT_EQ(report[3], step.mask) << int(step.code) << " action " << int(step.action);
  }
  EXPECT_EQ(channel.sent.size(), steps.size());
}

TEST_F(InputStateTest, ReleaseAllWaitsThenReleasesButtonsThenKeys) {
  state.SendKeyState(reporter, 4, kActionPress);
  state.SendKeyState(reporter, kLeftButtonCode, kActionPress);
  state.SendKeyState(reporter, kMiddleButtonCode, kActionPress);
  channel.sent.clear();
  channel.log.clear();

  state.ReleaseAllInputs(reporter, [this](int ms) { channel.log.push_back("sleep " + std::to_string(ms)); });

  EXPECT_EQ(channel.log, (std::vector<std::string>{"sleep 10", "send 22", "sleep 10", "send 21"}));
  ASSERT_EQ(channel.sent.size(), 2u);
  EXPECT_EQ(channel.sent[0][3], 0xFF);
  EXPECT_EQ(Bytes(channel.sent[1].begin() + 2, channel.sent[1].end()), Bytes(6, 0));
  EXPECT_EQ(state.MouseButtonMask(), 0xFF);
  EXPECT_EQ(state.HeldKeys(), (std::array<std::uint8_t, 6>{}));
}

TEST_F(InputStateTest, FailedSendStillUpdatesTheHeldState) {
  channel.succeed = false;
  state.SendKeyState(reporter, 4, kActionPress);
  state.SendKeyState(reporter, kRightButtonCode, kActionPress);
  EXPECT_EQ(state.HeldKeys()[0], 4);
  EXPECT_EQ(state.MouseButtonMask(), 0xFD);
}

TEST(FeatureReporterTest, EverySendHasTheFullLengthAndKeepsUnwrittenBytes) {
  RecordingChannel channel;
  FeatureReporter reporter;
  reporter.Attach(&channel, 65);
  EXPECT_TRUE(reporter.Send([](auto r) { compose::FireTime(r, 300); }));
  EXPECT_TRUE(reporter.Send([](auto r) { compose::MouseButtons(r, 0xFE); }));
  ASSERT_EQ(channel.sent.size(), 2u);
  for (const Bytes& report : channel.sent) EXPECT_EQ(report.size(), 65u);
  // Byte 2 is not part of command 0x16: it still holds the fire time's high byte.
  EXPECT_EQ(Bytes(channel.sent[1].begin(), channel.sent[1].begin() + 4), (Bytes{7, 0x16, 0x01, 0xFE}));
  EXPECT_EQ(Bytes(channel.sent[1].begin() + 8, channel.sent[1].end()), Bytes(57, 0));
}

TEST(FeatureReporterTest, NothingIsSentWithoutAChannelOrRoomForACommand) {
  RecordingChannel channel;
  FeatureReporter reporter;
  bool composed = false;
  const auto compose = [&composed](auto r) {
    composed = true;
    compose::Detach(r);
  };
  EXPECT_FALSE(reporter.IsOpen());
  EXPECT_FALSE(reporter.Send(compose));

  reporter.Attach(&channel, 1);
  EXPECT_TRUE(reporter.IsOpen());
  EXPECT_FALSE(reporter.Send(compose));
  EXPECT_FALSE(composed);

  reporter.Attach(&channel, 8);
  channel.succeed = false;
  EXPECT_FALSE(reporter.Send(compose));
  EXPECT_EQ(channel.sent.size(), 1u);

  reporter.Attach(nullptr, 8);
  EXPECT_FALSE(reporter.Send(compose));
  EXPECT_EQ(channel.sent.size(), 1u);
  EXPECT_TRUE(composed);
}

// A channel that checks the report does not change while it is being sent.
class SlowCheckingChannel : public HidFeatureChannel {
 public:
  bool SendFeature(std::span<const std::uint8_t> report) override {
    const Bytes before(report.begin(), report.end());
    for (int i = 0; i < 20; ++i) std::this_thread::yield();
    if (!std::equal(before.begin(), before.end(), report.begin())) changedDuringSend = true;
    std::lock_guard lock(mutex);
    sent.push_back(before);
    return true;
  }
  std::mutex mutex;
  std::vector<Bytes> sent;
  std::atomic<bool> changedDuringSend{false};
};

TEST(FeatureReporterTest, ReportsFromTwoThreadsNeverMix) {
  SlowCheckingChannel channel;
  FeatureReporter reporter;
  reporter.Attach(&channel, 8);
  constexpr int kRounds = 3000;
  const Bytes keys{7, 0x15, 1, 2, 3, 4, 5, 6};
  const Bytes fire{7, 0x12, 0x0A, 0x0B, 0, 0, 0, 0};

  std::thread player([&] {
    for (int i = 0; i < kRounds; ++i) reporter.Send([](auto r) { compose::Keys(r, {1, 2, 3, 4, 5, 6}); });
  });
  std::thread ui([&] {
    for (int i = 0; i < kRounds; ++i) reporter.Send([](auto r) { compose::FireTime(r, 0x0A0B); });
  });
  player.join();
  ui.join();

  EXPECT_FALSE(channel.changedDuringSend);
  ASSERT_EQ(channel.sent.size(), 2u * kRounds);
  int keyReports = 0, fireReports = 0;
  for (const Bytes& report : channel.sent) {
    if (report == keys) {
      ++keyReports;
    } else if (report == fire) {
      ++fireReports;
    } else {
      ADD_FAILURE() << "a mixed report was sent";
      break;
    }
  }
  EXPECT_EQ(keyReports, kRounds);
  EXPECT_EQ(fireReports, kRounds);
}

}  // namespace
}  // namespace tolvar
