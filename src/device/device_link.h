// The link to the mouse: its two collections, found by ids, usage pages and
// usages, with their report lengths.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ports/hid_backend.h"

namespace tolvar {

constexpr std::uint16_t kMouseVendorId = 0x18F8;
constexpr std::uint16_t kMouseProductId = 0x1686;
constexpr std::uint16_t kInputUsagePage = 0xFF00;
constexpr std::uint16_t kFeatureUsagePage = 0xFF01;
constexpr std::uint16_t kCollectionUsage = 1;
constexpr std::size_t kEnumerationLimit = 100;

struct DeviceLink {
  std::unique_ptr<HidFeatureChannel> FeatureHandle;
  std::unique_ptr<HidInputChannel> InputHandle;
  // The input channel as the reader thread sees it: published once open.
  std::atomic<HidInputChannel*> InputChannel{nullptr};
  std::string DevicePath;
  std::size_t FeatureReportByteLength = 0;  // report id byte included
  std::size_t InputReportByteLength = 0;    // report id byte included
  std::set<std::uint8_t> InputReportIds;    // report ids of the input collection (0: unnumbered)
  bool Connected = false;
  // Device nodes of the mouse that exist but could not be opened for lack of rights.
  std::vector<std::string> PermissionDenied;
};

}  // namespace tolvar
