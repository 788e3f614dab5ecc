// Builds HID report descriptors item by item for tests, plus the shapes of
// a few real devices: a boot mouse, a keyboard, a consumer control and the
// two vendor collections of our mouse.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tolvar::test {

class Descriptor {
 public:
  Descriptor& UsagePage(std::uint32_t page) { return Short(1, 0x0, page); }
  Descriptor& Usage(std::uint32_t usage) { return Short(2, 0x0, usage); }
  Descriptor& ExtendedUsage(std::uint16_t page, std::uint16_t usage) {
    return Sized(2, 0x0, (std::uint32_t{page} << 16) | usage, 4);
  }
  Descriptor& UsageMinimum(std::uint32_t usage) { return Short(2, 0x1, usage); }
  Descriptor& UsageMaximum(std::uint32_t usage) { return Short(2, 0x2, usage); }
  Descriptor& LogicalMinimum(std::uint32_t value) { return Short(1, 0x1, value); }
  Descriptor& LogicalMaximum(std::uint32_t value) { return Short(1, 0x2, value); }
  Descriptor& ReportSize(std::uint32_t bits) { return Short(1, 0x7, bits); }
  Descriptor& ReportId(std::uint32_t id) { return Short(1, 0x8, id); }
  Descriptor& ReportCount(std::uint32_t count) { return Short(1, 0x9, count); }
  Descriptor& Push() { return Sized(1, 0xA, 0, 0); }
  Descriptor& Pop() { return Sized(1, 0xB, 0, 0); }
  Descriptor& Input(std::uint32_t flags = 0x02) { return Short(0, 0x8, flags); }
  Descriptor& Output(std::uint32_t flags = 0x02) { return Short(0, 0x9, flags); }
  Descriptor& Feature(std::uint32_t flags = 0x02) { return Short(0, 0xB, flags); }
  Descriptor& Collection(std::uint32_t kind = 0x01) { return Short(0, 0xA, kind); }
  Descriptor& EndCollection() { return Sized(0, 0xC, 0, 0); }
  Descriptor& LongItem(std::uint8_t tag, std::initializer_list<std::uint8_t> data) {
    bytes_.push_back(0xFE);
    bytes_.push_back(static_cast<std::uint8_t>(data.size()));
    bytes_.push_back(tag);
    bytes_.insert(bytes_.end(), data);
    return *this;
  }
  Descriptor& Raw(std::initializer_list<std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data);
    return *this;
  }
  Descriptor& Append(const Descriptor& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  // The smallest data size that holds the value.
  Descriptor& Short(std::uint8_t type, std::uint8_t tag, std::uint32_t value) {
    const int size = value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : 4;
    return Sized(type, tag, value, size);
  }
  Descriptor& Sized(std::uint8_t type, std::uint8_t tag, std::uint32_t value, int size) {
    const std::uint8_t sizeCode = size == 4 ? 3 : static_cast<std::uint8_t>(size);
    bytes_.push_back(static_cast<std::uint8_t>((tag << 4) | (type << 2) | sizeCode));
    for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return *this;
  }

  std::vector<std::uint8_t> bytes_;
};

// Boot-protocol mouse without report ids: 5 buttons + 3 padding bits, X and
// Y of 16 bits, wheel of 8 bits: 48 bits.
inline Descriptor BootMouse() {
  Descriptor d;
  d.UsagePage(0x01).Usage(0x02).Collection(0x01).Usage(0x01).Collection(0x00);
  d.UsagePage(0x09).UsageMinimum(1).UsageMaximum(5).LogicalMinimum(0).LogicalMaximum(1);
  d.ReportCount(5).ReportSize(1).Input();
  d.ReportCount(1).ReportSize(3).Input(0x01);
  d.UsagePage(0x01).Usage(0x30).Usage(0x31).ReportSize(16).ReportCount(2).Input(0x06);
  d.Usage(0x38).ReportSize(8).ReportCount(1).Input(0x06);
  d.EndCollection().EndCollection();
  return d;
}

// Keyboard with report id `id`: modifiers, reserved byte, six keys (64 bits
// in), five LEDs and three padding bits (8 bits out).
inline Descriptor Keyboard(std::uint8_t id) {
  Descriptor d;
  d.UsagePage(0x01).Usage(0x06).Collection(0x01).ReportId(id);
  d.UsagePage(0x07).UsageMinimum(0xE0).UsageMaximum(0xE7).ReportSize(1).ReportCount(8).Input();
  d.ReportSize(8).ReportCount(1).Input(0x01);
  d.UsagePage(0x08).UsageMinimum(1).UsageMaximum(5).ReportSize(1).ReportCount(5).Output();
  d.ReportSize(3).ReportCount(1).Output(0x01);
  d.UsagePage(0x07).UsageMinimum(0).UsageMaximum(0xFF).ReportSize(8).ReportCount(6).Input(0x00);
  d.EndCollection();
  return d;
}

// Consumer control with report id `id`: one 16-bit usage (16 bits in).
inline Descriptor ConsumerControl(std::uint8_t id) {
  Descriptor d;
  d.UsagePage(0x0C).Usage(0x01).Collection(0x01).ReportId(id);
  d.UsageMinimum(0).UsageMaximum(0x3FF).ReportSize(16).ReportCount(1).Input(0x00);
  d.EndCollection();
  return d;
}

// Vendor collection page/1 with `inBytes` of input and `featureBytes` of
// feature data under report id `id` (0: no Report ID item).
inline Descriptor Vendor(std::uint16_t page, std::uint8_t id, std::uint32_t inBytes, std::uint32_t featureBytes) {
  Descriptor d;
  d.UsagePage(page).Usage(0x01).Collection(0x01);
  if (id != 0) d.ReportId(id);
  d.LogicalMinimum(0).LogicalMaximum(0xFF).ReportSize(8);
  if (inBytes > 0) d.Usage(0x02).ReportCount(inBytes).Input();
  if (featureBytes > 0) d.Usage(0x03).ReportCount(featureBytes).Feature();
  d.EndCollection();
  return d;
}

// The mouse's second interface: keyboard, consumer control, the vendor
// input collection (report 6, 8 bytes) and the vendor feature collection
// (report 7, 7 bytes), the feature one first when `featureFirst`.
inline Descriptor MouseVendorInterface(bool featureFirst) {
  Descriptor d;
  d.Append(Keyboard(1)).Append(ConsumerControl(2));
  const Descriptor input = Vendor(0xFF00, 6, 8, 0);
  const Descriptor feature = Vendor(0xFF01, 7, 0, 7);
  if (featureFirst) {
    d.Append(feature).Append(input);
  } else {
    d.Append(input).Append(feature);
  }
  return d;
}

}  // namespace tolvar::test
