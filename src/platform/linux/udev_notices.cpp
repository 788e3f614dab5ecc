#include "platform/linux/udev_notices.h"

#include <libudev.h>

#include <filesystem>

namespace tolvar {

namespace {

constexpr const char* kSubsystem = "hidraw";

const char* NetlinkName(UdevSource source) {
  switch (source) {
    case UdevSource::Udev:
      return "udev";
    case UdevSource::Kernel:
      return "kernel";
    case UdevSource::Automatic:
      break;
  }
  return AutomaticUdevSource();
}

}  // namespace

const char* AutomaticUdevSource(const std::string& controlSocket) {
  std::error_code ec;
  return std::filesystem::exists(controlSocket, ec) ? "udev" : "kernel";
}

std::optional<DeviceEvent> DeviceEventFromAction(std::string_view action) {
  // "change" comes when the rules are applied again (udevadm trigger), for
  // instance after an access rule was installed: it counts as an arrival.
  if (action == "add" || action == "change") return DeviceEvent::Arrival;
  if (action == "remove") return DeviceEvent::Removal;
  return std::nullopt;
}

UdevMonitor::UdevMonitor(UdevSource source) : sourceName_(NetlinkName(source)) {
  udev_ = udev_new();
  if (udev_ == nullptr) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, sourceName_);
  if (monitor_ == nullptr) return;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, kSubsystem, nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    monitor_ = udev_monitor_unref(monitor_);
  }
}

UdevMonitor::~UdevMonitor() {
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
}

int UdevMonitor::Fd() const { return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1; }

void UdevMonitor::Drain(const Handler& handler) {
  if (monitor_ == nullptr) return;
  // The monitor's socket is non-blocking: receiving returns null once no event is pending.
  while (struct udev_device* device = udev_monitor_receive_device(monitor_)) {
    const char* action = udev_device_get_action(device);
    const char* node = udev_device_get_devnode(device);
    const std::optional<DeviceEvent> event = action != nullptr ? DeviceEventFromAction(action) : std::nullopt;
    const std::string path = node != nullptr ? node : "";
    udev_device_unref(device);
    if (event && !path.empty()) handler(*event, path);
  }
}

}  // namespace tolvar
