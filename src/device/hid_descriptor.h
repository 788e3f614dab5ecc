// A parser for HID report descriptors, enough to tell a device's top-level
// collections apart and size their reports.
//
// API: ParseHidReportDescriptor(bytes) reads any byte sequence (short and
// long items, push/pop, report ids, 32-bit extended usages, nested
// collections) and returns either an error or the top-level collections in
// descriptor order. Each HidCollection carries its usage page and usage, the
// bit length of every report it declares by report id (0 when the device
// numbers no reports), and the byte lengths the way the host HID stack
// reports them: the longest report of that kind in the collection, rounded
// up to whole bytes, plus one byte for the report id (also when the device
// uses no report ids), or 0 when the collection has no report of that kind.
// The parser never reads past the end of its input and bounds every count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <vector>

namespace tolvar {

// Longest report accepted, in bytes without the report id (the largest
// report buffer of the Linux HID core).
constexpr std::size_t kMaxHidReportBytes = 16384;
// Depth of the Push/Pop stack of global items.
constexpr std::size_t kMaxHidGlobalStack = 16;

// Bit lengths of one report id's input, output and feature reports.
struct HidReportBits {
  std::uint32_t input = 0;
  std::uint32_t output = 0;
  std::uint32_t feature = 0;
  friend bool operator==(const HidReportBits&, const HidReportBits&) = default;
};

struct HidCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::map<std::uint8_t, HidReportBits> reports;  // by report id

  std::set<std::uint8_t> InputReportIds() const;  // ids with an input report
  std::size_t InputReportByteLength() const;
  std::size_t OutputReportByteLength() const;
  std::size_t FeatureReportByteLength() const;
};

enum class HidDescriptorError {
  None,
  TruncatedItem,         // an item runs past the end of the descriptor
  UnbalancedCollection,  // End Collection without Collection, or a collection left open
  GlobalStackOverflow,   // more than kMaxHidGlobalStack Push items
  GlobalStackUnderflow,  // Pop without Push
  InvalidReportId,       // Report ID 0 or above 255
  ReportTooLong,         // a report longer than kMaxHidReportBytes
};

struct HidDescriptor {
  HidDescriptorError error = HidDescriptorError::None;
  std::vector<HidCollection> collections;  // empty on error
};

HidDescriptor ParseHidReportDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace tolvar
