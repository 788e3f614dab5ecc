#include "macros/recorder.h"

#include <algorithm>

#include "macros/key_table.h"

namespace tolvar {

void MacroRecorder::Start(int macro) {
  recordedMacro_ = macro;
  recordedCount_ = 0;
  heldCount_ = 0;
}

int MacroRecorder::ElapsedMs(int timeOfDayMs) {
  int elapsed = timeOfDayMs - lastKeyTime_;
  lastKeyTime_ = timeOfDayMs;
  if (elapsed < 0) elapsed += kMsPerDay;
  return std::min(elapsed, kMaxRecordedDelayMs);
}

bool MacroRecorder::Hold(std::uint8_t key) {
  if (heldCount_ >= kHeldKeySlots) return false;
  heldKeys_[heldCount_++] = key;
  return true;
}

bool MacroRecorder::Release(std::uint8_t key) {
  const auto end = heldKeys_.begin() + heldCount_;
  const auto found = std::find(heldKeys_.begin(), end, key);
  if (found == end) return false;
  std::copy(found + 1, end, found);
  --heldCount_;
  return true;
}

CaptureResult MacroRecorder::Capture(Macro& target, KeyEvent typed, int pressCount, int timeOfDayMs) {
  if (typed == lastKey_) return {};
  if (recordedCount_ >= kMaxRecordedEvents) {
    lastKey_ = typed;
    return {};
  }
  const bool press = typed.press;
  const auto key = static_cast<std::uint8_t>(typed.virtualKey);
  if (press && (pressCount >= kMaxRecordedPresses || !Hold(key))) return {CaptureOutcome::PassedOn};
  if (!press && !Release(key)) return {CaptureOutcome::PassedOn};

  const int index = recordedCount_;
  MacroEvent& event = target.events[index];
  event.code = VkToUsage(key);
  event.action = press ? kActionPress : kActionRelease;
  const int elapsed = ElapsedMs(timeOfDayMs);
  if (index > 0) {
    target.events[index - 1].delay = static_cast<std::uint16_t>(elapsed);
    event.delay = kLastRecordedDelay;
  }
  recordedCount_ = index + 1;
  lastKey_ = typed;
  return {CaptureOutcome::Recorded, index};
}

}  // namespace tolvar
