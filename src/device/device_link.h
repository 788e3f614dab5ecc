// The link to the mouse: its two collections, found by ids, usage pages and
// usages, with their report lengths.
//
// API: OpenDeviceLink(link, backend, reporter) runs discovery over the HID
// devices the backend lists and fills `link`; it attaches the feature
// channel to `reporter` and publishes the input channel through
// `link.InputChannel`, which yields only the input collection's reports,
// report id first (0 when the collection numbers none), as the reader
// expects them. HandleDeviceNotice() is the whole reaction to an arrival or
// removal notice. IsMouseInterfaceNotice() and IsInputCollectionReport() are
// the two matching rules; PermissionDeniedMessage() is the text shown when
// the mouse is present but its nodes cannot be opened.
//
// A second discovery replaces the first one's channels: the feature channel
// is detached from the reporter before it is closed, and the old input
// channel is kept open in RetiredInputs, because the reader thread may still
// be blocked in a read on it; it only fails once the device is gone.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "base/shared_value.h"
#include "device/feature_report.h"
#include "ports/hid_backend.h"

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
  // The input channel as the reader thread sees it: published once open,
  // after InputReportByteLength, and notified, so a reader may wait on it.
  std::atomic<HidInputChannel*> InputChannel{nullptr};
  std::string DevicePath;
  std::size_t FeatureReportByteLength = 0;        // report id byte included
  Shared<std::size_t> InputReportByteLength = 0;  // report id byte included; read by the reader
  std::set<std::uint8_t> InputReportIds;          // report ids of the input collection (0: unnumbered)
  bool Connected = false;
  // Device nodes of the mouse that exist but could not be opened for lack of rights.
  std::vector<std::string> PermissionDenied;
  // Input channels of earlier discoveries, kept open for the reader's sake.
  std::vector<std::unique_ptr<HidInputChannel>> RetiredInputs;
};

// Discovery: among the first kEnumerationLimit HID devices, every one with
// the mouse's ids sets Connected and DevicePath; its collections 0xFF00/1
// (input, opened for reading) and 0xFF01/1 (feature, opened for writing) are
// taken in whatever order they come, the first of each kind that opens.
// Stops once both are open. Returns Connected.
bool OpenDeviceLink(DeviceLink& link, HidBackend& backend, FeatureReporter& reporter);

// True when `path` names the mouse's device (DevicePath), ASCII letters
// compared without regard to case.
bool IsMouseInterfaceNotice(const DeviceLink& link, const std::string& path);

// True when a report read from the mouse's node belongs to the input
// collection: its first byte is one of `inputReportIds`, or the collection
// numbers no reports (ids {0}) and the report is not empty.
bool IsInputCollectionReport(const std::set<std::uint8_t>& inputReportIds, std::span<const std::uint8_t> report);

enum class NoticeOutcome {
  Ignored,       // not the mouse, or nothing to do
  Rediscovered,  // the mouse arrived or changed while the link was not (fully) open; discovery ran again
  MouseRemoved,  // the mouse is gone: end the program without sending anything
};

// Arrival of the mouse while not connected, or while one of its collections
// is not open (its node could not be opened), runs discovery again; removal of
// the mouse clears Connected and detaches the reporter, so no report
// (not even the detach report) is sent afterwards.
NoticeOutcome HandleDeviceNotice(DeviceLink& link, HidBackend& backend, FeatureReporter& reporter, DeviceEvent event,
                                 const std::string& path);

// The message shown when the mouse's nodes exist but cannot be opened.
std::u16string PermissionDeniedMessage(const std::vector<std::string>& nodes);

}  // namespace tolvar
