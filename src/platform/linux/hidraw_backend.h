// HID devices through the kernel's hidraw nodes.
//
// API: HidrawBackend implements HidBackend. Enumerate(limit) lists the
// entries hidraw<N> of the sysfs class folder (default /sys/class/hidraw) in
// the order of N, at most `limit` of them, and gives for each the node path
// <dev folder>/hidraw<N> (default /dev), the vendor and product id from
// HID_ID in device/uevent and the bytes of device/report_descriptor; an
// entry whose ids cannot be read is left out. OpenInput opens the node for
// reading (each Read returns one report, report id first when the device
// numbers its reports); OpenFeature opens it for writing and sends feature
// reports with HIDIOCSFEATURE. Access refused (EACCES, EPERM) gives
// HidOpenError::PermissionDenied. Both folders and the open call can be
// replaced, so tests run on a fake tree.
#pragma once

#include <functional>
#include <string>

#include "ports/hid_backend.h"

namespace tolvar {

class HidrawBackend : public HidBackend {
 public:
  // Opens a file like open(2): a descriptor, or -1 with errno set.
  using OpenFile = std::function<int(const std::string& path, int flags)>;

  explicit HidrawBackend(std::string sysClassDir = "/sys/class/hidraw", std::string devDir = "/dev",
                         OpenFile openFile = {});

  std::vector<HidDeviceInfo> Enumerate(std::size_t limit) override;
  std::unique_ptr<HidInputChannel> OpenInput(const std::string& path, HidOpenError& error) override;
  std::unique_ptr<HidFeatureChannel> OpenFeature(const std::string& path, HidOpenError& error) override;

 private:
  int Open(const std::string& path, int flags, HidOpenError& error) const;

  std::string sysClassDir_;
  std::string devDir_;
  OpenFile openFile_;
};

}  // namespace tolvar
