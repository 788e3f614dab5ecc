#include "device/feature_report.h"

#include <algorithm>

namespace tolvar {

namespace {

constexpr std::array<std::uint16_t, 11> kConsumerUsageTable{
    0x0223,  // AC Home
    0x0183,  // AL Consumer Control Configuration
    0x018A,  // AL Email Reader
    0x00E9,  // Volume Increment
    0x00EA,  // Volume Decrement
    0x00B6,  // Scan Previous Track
    0x00B5,  // Scan Next Track
    0x00E2,  // Mute
    0x00CD,  // Play/Pause
    0x0192,  // AL Calculator
    0x00B7,  // Stop
};

// Codes sent in command 0x0A for USB_SPEED 0..3; any other value sends 1.
constexpr std::array<std::uint8_t, 4> kUsbSpeedCodes{7, 3, 1, 0};
constexpr std::uint8_t kUsbSpeedOtherCode = 1;

constexpr std::uint8_t kCmdDpiLevel = 0x09;
constexpr std::uint8_t kCmdUsbSpeed = 0x0A;
constexpr std::uint8_t kCmdButtonFunction = 0x10;
constexpr std::uint8_t kCmdWheelStatus = 0x11;
constexpr std::uint8_t kCmdFireTime = 0x12;
constexpr std::uint8_t kCmdLighting = 0x13;
constexpr std::uint8_t kCmdLevelColour = 0x14;
constexpr std::uint8_t kCmdKeys = 0x15;
constexpr std::uint8_t kCmdMouseButtons = 0x16;
constexpr std::uint8_t kCmdConsumerKey = 0x17;
constexpr std::uint8_t kCmdDetach = 0x20;

// Mouse-button bits of MouseButtonMask (1 = up): left, right, middle.
constexpr std::uint8_t kAllMouseButtonBits = 0x07;

// Low 8 bits of any formula.
constexpr std::uint8_t Byte(std::int64_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// Writes report bytes in order from byte 0; bytes past the buffer's end are dropped.
class ReportWriter {
 public:
  ReportWriter(std::span<std::uint8_t> report, std::uint8_t command) : report_(report) {
    Set(0, kFeatureReportId);
    Set(1, command);
  }
  void Set(std::size_t index, std::uint8_t value) {
    if (index < report_.size()) report_[index] = value;
  }

 private:
  std::span<std::uint8_t> report_;
};

std::uint8_t LightingModeByte(std::uint8_t ledType, std::uint8_t cycleTime) {
  switch (ledType) {
    case 2:
      return 0x86;
    case 3:
      return 0x87;
    case 0:
      return Byte(0x80 + cycleTime);
    default:
      return Byte(0x90 + cycleTime);
  }
}

}  // namespace

std::uint16_t ConsumerUsage(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= kConsumerUsageTable.size()) return 0;
  return kConsumerUsageTable[static_cast<std::size_t>(index)];
}

namespace compose {

void DpiLevel(std::span<std::uint8_t> report, int level, std::int32_t dpiLevel, std::uint8_t stepCode,
              std::uint8_t enableMask) {
  ReportWriter w(report, kCmdDpiLevel);
  w.Set(2, Byte(std::int64_t{dpiLevel} + 0x40));
  w.Set(3, Byte(std::int64_t{stepCode} * 16 + 8 + level));
  w.Set(4, enableMask);
}

void UsbSpeed(std::span<std::uint8_t> report, std::uint8_t usbSpeed) {
  ReportWriter w(report, kCmdUsbSpeed);
  w.Set(2, usbSpeed < kUsbSpeedCodes.size() ? kUsbSpeedCodes[usbSpeed] : kUsbSpeedOtherCode);
  w.Set(3, 0);
}

void ButtonFunction(std::span<std::uint8_t> report, int logicalButton, std::uint8_t mouseByte) {
  const bool inTable = logicalButton >= 0 && static_cast<std::size_t>(logicalButton) < ButtonNumberTable.size();
  ReportWriter w(report, kCmdButtonFunction);
  w.Set(2, inTable ? ButtonNumberTable[static_cast<std::size_t>(logicalButton)] : 0);
  w.Set(3, mouseByte);
}

void WheelStatus(std::span<std::uint8_t> report, std::int32_t wheelStatus) {
  ReportWriter w(report, kCmdWheelStatus);
  w.Set(2, Byte(wheelStatus));
  w.Set(3, 0);
}

void FireTime(std::span<std::uint8_t> report, std::int32_t fireTime) {
  ReportWriter w(report, kCmdFireTime);
  w.Set(2, Byte(static_cast<std::uint32_t>(fireTime) >> 8));
  w.Set(3, Byte(fireTime));
  for (std::size_t i = 4; i <= 7; ++i) w.Set(i, 0);
}

void Lighting(std::span<std::uint8_t> report, std::uint8_t cycleMask, std::uint8_t ledType, std::uint8_t cycleTime) {
  ReportWriter w(report, kCmdLighting);
  w.Set(2, cycleMask);
  w.Set(3, LightingModeByte(ledType, cycleTime));
}

void LevelColour(std::span<std::uint8_t> report, int level, std::int32_t r, std::int32_t g, std::int32_t b) {
  ReportWriter w(report, kCmdLevelColour);
  w.Set(2, Byte(std::int64_t{level} * 32 + g));
  w.Set(3, Byte(std::int64_t{r} * 16 + b));
}

void Keys(std::span<std::uint8_t> report, const std::array<std::uint8_t, 6>& heldKeys) {
  ReportWriter w(report, kCmdKeys);
  for (std::size_t slot = 0; slot < heldKeys.size(); ++slot) w.Set(2 + slot, heldKeys[slot]);
}

void MouseButtons(std::span<std::uint8_t> report, std::uint8_t buttonMask) {
  ReportWriter w(report, kCmdMouseButtons);
  w.Set(3, buttonMask);
}

void ConsumerKey(std::span<std::uint8_t> report, std::uint16_t usage) {
  ReportWriter w(report, kCmdConsumerKey);
  w.Set(2, Byte(usage >> 8));
  w.Set(3, Byte(usage));
}

void Detach(std::span<std::uint8_t> report) {
  ReportWriter w(report, kCmdDetach);
  w.Set(2, 0);
  w.Set(3, 0);
}

}  // namespace compose

void FeatureReporter::Attach(HidFeatureChannel* channel, std::size_t reportLength) {
  std::lock_guard lock(mutex_);
  channel_ = channel;
  buffer_.resize(reportLength, 0);
}

bool FeatureReporter::IsOpen() const {
  std::lock_guard lock(mutex_);
  return channel_ != nullptr;
}

bool FeatureReporter::Send(const Composer& compose) {
  std::lock_guard lock(mutex_);
  if (channel_ == nullptr || buffer_.size() < 2) return false;
  compose(buffer_);
  return channel_->SendFeature(buffer_);
}

void InputState::PressKey(std::uint8_t code) {
  auto empty = std::find(heldKeys_.begin(), heldKeys_.end(), std::uint8_t{0});
  if (empty != heldKeys_.end()) *empty = code;
}

void InputState::ReleaseKey(std::uint8_t code) {
  auto held = std::find(heldKeys_.begin(), heldKeys_.end(), code);
  if (held != heldKeys_.end()) std::copy(held + 1, heldKeys_.end(), held);
  heldKeys_.back() = 0;
}

void InputState::SendKeyState(FeatureReporter& reporter, std::uint8_t code, std::uint8_t action) {
  if (code < kLeftButtonCode) {
    if (action == kActionPress) PressKey(code);
    if (action == kActionRelease) ReleaseKey(code);
    reporter.Send([this](std::span<std::uint8_t> r) { compose::Keys(r, heldKeys_); });
    return;
  }
  if (code <= kMiddleButtonCode) {
    const auto bit = static_cast<std::uint8_t>(1u << (code - kLeftButtonCode));
    if (action == kActionPress) mouseButtonMask_ = static_cast<std::uint8_t>(mouseButtonMask_ & ~bit);
    if (action == kActionRelease) mouseButtonMask_ = static_cast<std::uint8_t>(mouseButtonMask_ | bit);
  }
  reporter.Send([this](std::span<std::uint8_t> r) { compose::MouseButtons(r, mouseButtonMask_); });
}

void InputState::ReleaseAllInputs(FeatureReporter& reporter, const Sleep& sleep) {
  sleep(10);
  mouseButtonMask_ = static_cast<std::uint8_t>(mouseButtonMask_ | kAllMouseButtonBits);
  reporter.Send([this](std::span<std::uint8_t> r) { compose::MouseButtons(r, mouseButtonMask_); });
  sleep(10);
  heldKeys_.fill(0);
  reporter.Send([this](std::span<std::uint8_t> r) { compose::Keys(r, heldKeys_); });
}

}  // namespace tolvar
