// The feature reports the program sends to the mouse (report id 7) and the
// key and button state behind the keyboard and mouse-button commands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "platform/ports/hid_backend.h"

namespace tolvar {

constexpr std::uint8_t kFeatureReportId = 7;

// Logical buttons 0..6 to the mouse's own button numbers.
inline constexpr std::array<std::uint8_t, 7> ButtonNumberTable{1, 2, 3, 5, 4, 6, 8};

// Usage IDs of the consumer page sent for consumer-key functions; an index
// outside the table gives 0.
std::uint16_t ConsumerUsage(int index);

// Byte composers: each writes only the bytes its command defines into
// `report` (at least 8 bytes long); the others keep what they held.
namespace compose {
void DpiLevel(std::span<std::uint8_t> report, int level, std::int32_t dpiLevel, std::uint8_t stepCode,
              std::uint8_t enableMask);                                          // 0x09
void UsbSpeed(std::span<std::uint8_t> report, std::uint8_t usbSpeed);           // 0x0A
void ButtonFunction(std::span<std::uint8_t> report, int logicalButton, std::uint8_t mouseByte);  // 0x10
void WheelStatus(std::span<std::uint8_t> report, std::int32_t wheelStatus);     // 0x11
void FireTime(std::span<std::uint8_t> report, std::int32_t fireTime);           // 0x12
void Lighting(std::span<std::uint8_t> report, std::uint8_t cycleMask, std::uint8_t ledType,
              std::uint8_t cycleTime);                                           // 0x13
void LevelColour(std::span<std::uint8_t> report, int level, std::int32_t r, std::int32_t g,
                 std::int32_t b);                                                // 0x14
void Keys(std::span<std::uint8_t> report, const std::array<std::uint8_t, 6>& heldKeys);  // 0x15
void MouseButtons(std::span<std::uint8_t> report, std::uint8_t buttonMask);    // 0x16
void ConsumerKey(std::span<std::uint8_t> report, std::uint16_t usage);         // 0x17
void Detach(std::span<std::uint8_t> report);                                   // 0x20
}  // namespace compose

// The one feature-report buffer. Composing a report and sending it is one
// step under a lock, so reports composed on two threads never mix. A send
// without an open channel, or one that fails, is lost silently.
class FeatureReporter {
 public:
  using Composer = std::function<void(std::span<std::uint8_t>)>;

  // The feature channel of the link and its full report length (report id
  // included); a null channel means the feature collection is not open.
  void Attach(HidFeatureChannel* channel, std::size_t reportLength);
  bool IsOpen() const;
  // Composes into the shared buffer and sends it whole. Returns the send's result.
  bool Send(const Composer& compose);

 private:
  mutable std::mutex mutex_;
  HidFeatureChannel* channel_ = nullptr;
  std::vector<std::uint8_t> buffer_;
};

// Keys and mouse buttons held by a playing macro (commands 0x15 and 0x16).
class InputState {
 public:
  using Sleep = std::function<void(int milliseconds)>;

  void SendKeyState(FeatureReporter& reporter, std::uint8_t code, std::uint8_t action);
  // Waits 10 ms, releases the mouse buttons, waits 10 ms, releases the keys.
  void ReleaseAllInputs(FeatureReporter& reporter, const Sleep& sleep);

  const std::array<std::uint8_t, 6>& HeldKeys() const { return heldKeys_; }
  std::uint8_t MouseButtonMask() const { return mouseButtonMask_; }

 private:
  std::array<std::uint8_t, 6> heldKeys_{};
  std::uint8_t mouseButtonMask_ = 0xFF;
};

}  // namespace tolvar
