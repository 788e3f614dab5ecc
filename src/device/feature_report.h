// The feature reports the program sends to the mouse (report id 7) and the
// key and button state behind the keyboard and mouse-button commands.
//
// API: the compose:: functions write one command's bytes into a report
// buffer (byte 0 the report id 7, byte 1 the command, then the command's own
// bytes; every byte is the low 8 bits of its formula, and bytes past the end
// of a short buffer are not written). FeatureReporter owns the one report
// buffer: Attach() gives it the open feature channel and the full report
// length, Send(composer) composes and sends as one step under its lock, so
// any thread may send. InputState keeps the held keys and mouse buttons of a
// playing macro and sends commands 0x15 and 0x16 through a FeatureReporter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "base/values.h"
#include "macros/macro.h"
#include "ports/hid_backend.h"

namespace tolvar {

constexpr std::uint8_t kFeatureReportId = 7;

// Logical buttons 0..6 to the mouse's own button numbers.
inline constexpr std::array<std::uint8_t, 7> ButtonNumberTable{1, 2, 3, 5, 4, 6, 8};

// Logical button for each device button number 0..15: the inverse of
// ButtonNumberTable, kNone where no logical button has that number.
constexpr std::array<std::uint8_t, 16> BuildButtonIndexByNumber() {
  std::array<std::uint8_t, 16> index{};
  index.fill(static_cast<std::uint8_t>(kNone));
  for (std::size_t i = 0; i < ButtonNumberTable.size(); ++i) index[ButtonNumberTable[i]] = static_cast<std::uint8_t>(i);
  return index;
}

// Usage IDs of the consumer page sent for consumer-key functions; an index
// outside the table gives 0.
std::uint16_t ConsumerUsage(int index);

// Byte composers: each writes only the bytes its command defines into
// `report` (8 bytes hold every command); the others keep what they held.
namespace compose {
// `level` 0..5; `stepCode` is the DPI step code of that level's DPI_SET value.
void DpiLevel(std::span<std::uint8_t> report, int level, std::int32_t dpiLevel, std::uint8_t stepCode,
              std::uint8_t enableMask);                                // 0x09
void UsbSpeed(std::span<std::uint8_t> report, std::uint8_t usbSpeed);  // 0x0A
// A logical button outside ButtonNumberTable sends button number 0.
void ButtonFunction(std::span<std::uint8_t> report, int logicalButton, std::uint8_t mouseByte);  // 0x10
void WheelStatus(std::span<std::uint8_t> report, std::int32_t wheelStatus);                      // 0x11
void FireTime(std::span<std::uint8_t> report, std::int32_t fireTime);                            // 0x12
void Lighting(std::span<std::uint8_t> report, std::uint8_t cycleMask, std::uint8_t ledType,
              std::uint8_t cycleTime);  // 0x13
void LevelColour(std::span<std::uint8_t> report, int level, std::int32_t r, std::int32_t g,
                 std::int32_t b);                                                        // 0x14
void Keys(std::span<std::uint8_t> report, const std::array<std::uint8_t, 6>& heldKeys);  // 0x15
void MouseButtons(std::span<std::uint8_t> report, std::uint8_t buttonMask);              // 0x16
void ConsumerKey(std::span<std::uint8_t> report, std::uint16_t usage);                   // 0x17
void Detach(std::span<std::uint8_t> report);                                             // 0x20
}  // namespace compose

// The one feature-report buffer. Composing a report and sending it is one
// step under a lock, so reports composed on two threads never mix. A send
// without an open channel, or one that fails, is lost silently.
class FeatureReporter {
 public:
  using Composer = std::function<void(std::span<std::uint8_t>)>;

  // The feature channel of the link and its full report length (report id
  // included); a null channel means the feature collection is not open.
  // Waits for a send in progress, so the previous channel may be destroyed
  // once this returns. The buffer keeps its bytes (zeros where it grows).
  void Attach(HidFeatureChannel* channel, std::size_t reportLength);
  bool IsOpen() const;
  // Composes into the shared buffer and sends it whole. Returns the send's
  // result: false without a channel or with a report length below 2 (no room
  // for the report id and the command), in which case nothing is composed.
  bool Send(const Composer& compose);

 private:
  mutable std::mutex mutex_;
  HidFeatureChannel* channel_ = nullptr;
  std::vector<std::uint8_t> buffer_;
};

// Keys and mouse buttons held by a playing macro (commands 0x15 and 0x16).
// Used by one thread (the macro player).
class InputState {
 public:
  using Sleep = std::function<void(int milliseconds)>;

  // Updates the held state for one macro event and sends its report: 0x15
  // for a key (code below 240), 0x16 for any code from 240 on.
  void SendKeyState(FeatureReporter& reporter, std::uint8_t code, std::uint8_t action);
  // Waits 10 ms, releases the mouse buttons, waits 10 ms, releases the keys.
  void ReleaseAllInputs(FeatureReporter& reporter, const Sleep& sleep);

  const std::array<std::uint8_t, 6>& HeldKeys() const { return heldKeys_; }
  std::uint8_t MouseButtonMask() const { return mouseButtonMask_; }

 private:
  void PressKey(std::uint8_t code);
  void ReleaseKey(std::uint8_t code);

  std::array<std::uint8_t, 6> heldKeys_{};
  std::uint8_t mouseButtonMask_ = 0xFF;
};

}  // namespace tolvar
