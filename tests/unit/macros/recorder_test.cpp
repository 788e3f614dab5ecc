#include "macros/recorder.h"

#include <gtest/gtest.h>

#include <vector>

#include "macros/key_table.h"

namespace tolvar {
namespace {

constexpr bool kDown = true;
constexpr bool kUp = false;

// A recording fed key messages at given times of day, counting the presses
// shown as the event list does.
struct Recording {
  MacroRecorder recorder;
  Macro macro;
  int presses = 0;
  int now = 1'000'000;

  Recording() { recorder.Start(0); }

  CaptureOutcome Key(bool press, int vk, int afterMs = 0) {
    now += afterMs;
    const CaptureResult result = recorder.Capture(macro, {press, vk}, presses, now);
    if (result.outcome == CaptureOutcome::Recorded && press) ++presses;
    return result.outcome;
  }
  std::vector<MacroEvent> Events() const {
    return {macro.events.begin(), macro.events.begin() + recorder.RecordedCount()};
  }
};

TEST(Recorder, AThenBWithTheGapsAsDelays) {
  Recording r;
  r.Key(kDown, 'A');
  r.Key(kUp, 'A', 150);
  r.Key(kDown, 'B', 150);
  r.Key(kUp, 'B', 80);
  const std::vector<MacroEvent> expected{{4, 1, 150}, {4, 2, 150}, {5, 1, 80}, {5, 2, 30}};
  EXPECT_EQ(r.Events(), expected);
}

TEST(Recorder, AHeldKeyRepeatsItsPressButIsRecordedOnce) {
  Recording r;
  r.Key(kDown, 'A');
  EXPECT_EQ(r.Key(kDown, 'A', 30), CaptureOutcome::Skipped);
  EXPECT_EQ(r.Key(kDown, 'A', 30), CaptureOutcome::Skipped);
  EXPECT_EQ(r.Key(kUp, 'A', 40), CaptureOutcome::Recorded);
  const std::vector<MacroEvent> expected{{4, 1, 100}, {4, 2, 30}};
  EXPECT_EQ(r.Events(), expected) << "the delay runs from the press the first repeat equalled";
}

TEST(Recorder, AKeyHeldBeforeRecordingHasItsReleasePassedOn) {
  Recording r;
  EXPECT_EQ(r.Key(kUp, 'Q'), CaptureOutcome::PassedOn);
  EXPECT_EQ(r.recorder.RecordedCount(), 0);
  EXPECT_EQ(r.Key(kDown, 'A', 10), CaptureOutcome::Recorded);
}

TEST(Recorder, OnePressKeepsDelayZero) {
  Recording r;
  r.macro.events[0].delay = 0;
  r.Key(kDown, 'A', 5000);
  ASSERT_EQ(r.recorder.RecordedCount(), 1);
  EXPECT_EQ(r.macro.events[0].delay, 0) << "the time before the first key is dropped";
}

TEST(Recorder, LeftAndRightModifiersAndAltKeysStayDistinct) {
  Recording r;
  const int modifiers[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
  for (int vk : modifiers) r.Key(kDown, vk, 10);
  for (int vk : modifiers) r.Key(kUp, vk, 10);
  std::vector<std::uint8_t> codes;
  for (const MacroEvent& e : r.Events()) codes.push_back(e.code);
  const std::vector<std::uint8_t> expected{225, 229, 224, 228, 226, 230, 225, 229, 224, 228, 226, 230};
  EXPECT_EQ(codes, expected);
}

TEST(Recorder, The109thPressIsDroppedWhileReleasesGoOnUpTo216Events) {
  Recording r;
  r.presses = kMaxRecordedPresses - 1;
  EXPECT_EQ(r.Key(kDown, 'A', 10), CaptureOutcome::Recorded) << "the 108th press";
  EXPECT_EQ(r.Key(kDown, 'B', 10), CaptureOutcome::PassedOn) << "the 109th press";
  EXPECT_EQ(r.Key(kUp, 'A', 10), CaptureOutcome::Recorded) << "releases are still recorded";
  EXPECT_EQ(r.recorder.RecordedCount(), 2);
}

TEST(Recorder, NothingIsRecordedPast216Events) {
  Recording r;
  for (int i = 0; i < 108; ++i) {
    r.presses = 0;
    r.Key(kDown, 'A', 1);
    r.Key(kUp, 'A', 1);
  }
  ASSERT_EQ(r.recorder.RecordedCount(), kMaxRecordedEvents);
  const Macro full = r.macro;
  EXPECT_EQ(r.Key(kDown, 'B', 1), CaptureOutcome::Skipped);
  EXPECT_EQ(r.Key(kUp, 'B', 1), CaptureOutcome::Skipped);
  EXPECT_EQ(r.recorder.RecordedCount(), kMaxRecordedEvents);
  EXPECT_EQ(r.macro, full);
}

TEST(Recorder, ATenthHeldKeyIsNotRecordedAndTheListIsNeverOverrun) {
  Recording r;
  for (int k = 0; k < kHeldKeySlots; ++k) EXPECT_EQ(r.Key(kDown, 'A' + k, 5), CaptureOutcome::Recorded);
  EXPECT_EQ(r.Key(kDown, 'Z', 5), CaptureOutcome::PassedOn);
  EXPECT_EQ(r.Key(kUp, 'Z', 5), CaptureOutcome::PassedOn) << "its release is not recorded either";
  EXPECT_EQ(r.Key(kUp, 'E', 5), CaptureOutcome::Recorded);
  EXPECT_EQ(r.Key(kDown, 'Z', 5), CaptureOutcome::Recorded) << "a slot is free again";
  EXPECT_EQ(r.recorder.RecordedCount(), kHeldKeySlots + 2);
}

TEST(ElapsedMs, GapsMidnightAndTheCap) {
  MacroRecorder recorder;
  struct Step {
    int now;
    int elapsed;
  } steps[] = {
      {1000, 1000},                   // from the start value 0
      {1150, 150},                    // a plain gap
      {1150 + 2 * 60 * 1000, 65535},  // two minutes: capped
      {kMsPerDay - 100, 65535},       // capped again
      {50, 150},                      // midnight passed
  };
  for (const Step& step : steps) EXPECT_EQ(recorder.ElapsedMs(step.now), step.elapsed) << step.now;
}

TEST(Recorder, TheLastKeyMessageCarriesOverToTheNextRecording) {
  Recording r;
  r.Key(kDown, 'A');
  r.recorder.Start(0);
  EXPECT_EQ(r.Key(kDown, 'A', 10), CaptureOutcome::Skipped);
  EXPECT_EQ(r.recorder.RecordedCount(), 0);
}

}  // namespace
}  // namespace tolvar
