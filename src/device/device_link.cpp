#include "device/device_link.h"

#include <algorithm>

#include "base/text.h"
#include "device/hid_descriptor.h"

namespace tolvar {

namespace {

bool IsUnnumbered(const std::set<std::uint8_t>& reportIds) { return reportIds.size() == 1 && *reportIds.begin() == 0; }

// The input collection's view of the mouse's node: reports of the node's
// other collections are skipped, and an unnumbered report gets the report
// id byte 0 in front, so byte 1 is always the first data byte.
class InputCollectionChannel : public HidInputChannel {
 public:
  InputCollectionChannel(std::unique_ptr<HidInputChannel> node, std::set<std::uint8_t> reportIds)
      : node_(std::move(node)), reportIds_(std::move(reportIds)), raw_(kMaxHidReportBytes + 1) {}

  int Read(std::span<std::uint8_t> buffer) override {
    for (;;) {
      const int read = node_->Read(raw_);
      if (read <= 0) return read;
      const auto report = std::span<const std::uint8_t>(raw_).first(std::min<std::size_t>(read, raw_.size()));
      if (!IsInputCollectionReport(reportIds_, report)) continue;
      return Deliver(report, buffer);
    }
  }

 private:
  int Deliver(std::span<const std::uint8_t> report, std::span<std::uint8_t> buffer) const {
    std::size_t out = 0;
    if (IsUnnumbered(reportIds_) && out < buffer.size()) buffer[out++] = 0;
    const std::size_t count = std::min(report.size(), buffer.size() - out);
    std::copy_n(report.begin(), count, buffer.begin() + static_cast<std::ptrdiff_t>(out));
    return static_cast<int>(out + count);
  }

  std::unique_ptr<HidInputChannel> node_;
  const std::set<std::uint8_t> reportIds_;
  std::vector<std::uint8_t> raw_;
};

bool Is(const HidCollection& collection, std::uint16_t usagePage) {
  return collection.usagePage == usagePage && collection.usage == kCollectionUsage;
}

void NotePermissionDenied(DeviceLink& link, HidOpenError error, const std::string& path) {
  if (error != HidOpenError::PermissionDenied) return;
  if (std::find(link.PermissionDenied.begin(), link.PermissionDenied.end(), path) == link.PermissionDenied.end()) {
    link.PermissionDenied.push_back(path);
  }
}

// Forgets the previous discovery's channels without pulling them from under
// a thread that may be using them.
void ReleasePreviousChannels(DeviceLink& link, FeatureReporter& reporter) {
  reporter.Attach(nullptr, 0);
  link.FeatureHandle.reset();
  link.InputChannel.store(nullptr);
  if (link.InputHandle) link.RetiredInputs.push_back(std::move(link.InputHandle));
  link.DevicePath.clear();
  link.FeatureReportByteLength = 0;
  link.InputReportByteLength = 0;
  link.InputReportIds.clear();
  link.PermissionDenied.clear();
  link.Connected = false;
}

void OpenInputCollection(DeviceLink& link, HidBackend& backend, const HidCollection& collection,
                         const std::string& path) {
  HidOpenError error = HidOpenError::None;
  std::unique_ptr<HidInputChannel> node = backend.OpenInput(path, error);
  if (!node) {
    NotePermissionDenied(link, error, path);
    return;
  }
  link.InputReportByteLength = collection.InputReportByteLength();
  link.InputReportIds = collection.InputReportIds();
  link.InputHandle = std::make_unique<InputCollectionChannel>(std::move(node), link.InputReportIds);
  link.InputChannel.store(link.InputHandle.get());
  link.InputChannel.notify_all();  // a reader may be waiting for the channel
}

void OpenFeatureCollection(DeviceLink& link, HidBackend& backend, const HidCollection& collection,
                           const std::string& path) {
  HidOpenError error = HidOpenError::None;
  link.FeatureHandle = backend.OpenFeature(path, error);
  if (!link.FeatureHandle) {
    NotePermissionDenied(link, error, path);
    return;
  }
  link.FeatureReportByteLength = collection.FeatureReportByteLength();
}

}  // namespace

bool OpenDeviceLink(DeviceLink& link, HidBackend& backend, FeatureReporter& reporter) {
  ReleasePreviousChannels(link, reporter);
  for (const HidDeviceInfo& device : backend.Enumerate(kEnumerationLimit)) {
    if (device.vendorId != kMouseVendorId || device.productId != kMouseProductId) continue;
    link.Connected = true;
    link.DevicePath = device.path;
    for (const HidCollection& collection : ParseHidReportDescriptor(device.reportDescriptor).collections) {
      if (!link.InputHandle && Is(collection, kInputUsagePage)) {
        OpenInputCollection(link, backend, collection, device.path);
      }
      if (!link.FeatureHandle && Is(collection, kFeatureUsagePage)) {
        OpenFeatureCollection(link, backend, collection, device.path);
      }
    }
    if (link.InputHandle && link.FeatureHandle) break;
  }
  reporter.Attach(link.FeatureHandle.get(), link.FeatureReportByteLength);
  return link.Connected;
}

bool IsMouseInterfaceNotice(const DeviceLink& link, const std::string& path) {
  return !link.DevicePath.empty() && EqualsIgnoringAsciiCase(path, link.DevicePath);
}

bool IsInputCollectionReport(const std::set<std::uint8_t>& inputReportIds, std::span<const std::uint8_t> report) {
  if (report.empty()) return false;
  return IsUnnumbered(inputReportIds) || inputReportIds.contains(report[0]);
}

NoticeOutcome HandleDeviceNotice(DeviceLink& link, HidBackend& backend, FeatureReporter& reporter, DeviceEvent event,
                                 const std::string& path) {
  if (!IsMouseInterfaceNotice(link, path)) return NoticeOutcome::Ignored;
  if (event == DeviceEvent::Removal) {
    link.Connected = false;
    reporter.Attach(nullptr, link.FeatureReportByteLength);
    return NoticeOutcome::MouseRemoved;
  }
  // A link that lacks a collection (its node could not be opened) is tried
  // again: access may have been granted since.
  if (link.Connected && link.InputHandle && link.FeatureHandle) return NoticeOutcome::Ignored;
  OpenDeviceLink(link, backend, reporter);
  return NoticeOutcome::Rediscovered;
}

std::u16string PermissionDeniedMessage(const std::vector<std::string>& nodes) {
  std::string names;
  for (const std::string& node : nodes) names += (names.empty() ? "" : ", ") + node;
  const bool several = nodes.size() > 1;
  const std::string text =
      "The mouse was found, but its device node" + std::string(several ? "s " : " ") + names +
      " cannot be opened: permission denied.\n\n"
      "To give your user access to the mouse, install the program's package (it brings the rule), "
      "or copy the rule file packaging/70-tolvar.rules into /etc/udev/rules.d/; reload the udev rules with\n\n"
      "    sudo udevadm control --reload-rules && sudo udevadm trigger\n\n"
      "or unplug the mouse and plug it in again. The program connects as soon as access is granted; "
      "\"tolvar --diagnose\" tells more.";
  return Utf8ToUtf16(text);
}

}  // namespace tolvar
