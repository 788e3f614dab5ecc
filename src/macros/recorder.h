// Recording a macro from the keyboard: each (press or release, virtual-key
// code) the key capture delivers becomes an event of the macro being
// recorded, with the time to the next key as its delay.
//
// Limits: 216 events per recording, 108 presses shown in the event list, 9
// keys held at once. A press while 9 keys are held is not recorded, so every
// recorded press can still be matched by its release.
#pragma once

#include <array>
#include <cstdint>

#include "macros/macro.h"
#include "ports/key_capture.h"

namespace tolvar {

constexpr int kMaxRecordedEvents = 216;
constexpr int kMaxRecordedPresses = 108;
constexpr int kHeldKeySlots = 9;
constexpr int kMaxRecordedDelayMs = 65535;
constexpr int kMsPerDay = 86'400'000;
constexpr std::uint16_t kLastRecordedDelay = 30;

// What the capture did with a key message.
enum class CaptureOutcome {
  Recorded,  // appended as event `index`; the key filter comes next
  Skipped,   // a repeat or over the event limit: nothing recorded, the key filter comes next
  PassedOn,  // not recorded and not remembered: the message goes to the default handling
};

struct CaptureResult {
  CaptureOutcome outcome = CaptureOutcome::Skipped;
  int index = -1;  // the recorded event
};

class MacroRecorder {
 public:
  // A new recording into user macro `macro`: no events, no held keys. The
  // last key message and the last key time carry over from the previous one.
  void Start(int macro);

  // One key: a key equal to the last one handled is a held key's repeat.
  // `pressCount` is the presses the event list shows; `timeOfDayMs` the UTC
  // time of day in milliseconds.
  CaptureResult Capture(Macro& target, KeyEvent key, int pressCount, int timeOfDayMs);

  // Milliseconds since the previous call, at most 65535; a negative
  // difference means midnight passed.
  int ElapsedMs(int timeOfDayMs);

  int RecordedMacro() const { return recordedMacro_; }
  int RecordedCount() const { return recordedCount_; }

 private:
  bool Hold(std::uint8_t key);
  bool Release(std::uint8_t key);

  int recordedMacro_ = 0;
  int recordedCount_ = 0;
  std::array<std::uint8_t, kHeldKeySlots> heldKeys_{};
  int heldCount_ = 0;
  KeyEvent lastKey_{};
  int lastKeyTime_ = 0;
};

}  // namespace tolvar
