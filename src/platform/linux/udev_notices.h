// Arrival and removal notices of hidraw nodes, from a libudev monitor.
//
// API: UdevMonitor opens a monitor on the hidraw subsystem, listening to the
// udev daemon's events when one runs (its control socket /run/udev/control
// exists) and to the kernel's own uevents otherwise. Fd() is a non-blocking
// descriptor that becomes readable when events are pending; Drain() hands
// every pending "add", "change" and "remove" event to the handler as (DeviceEvent,
// device node path) and returns as soon as none is left. Valid() is false
// when the monitor could not be opened (Fd() is then -1 and Drain() does
// nothing). The platform's event loop watches Fd() and calls Drain().
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ports/hid_backend.h"

struct udev;
struct udev_monitor;

namespace tolvar {

enum class UdevSource { Automatic, Udev, Kernel };

// "udev" when the file `controlSocket` exists, else "kernel".
const char* AutomaticUdevSource(const std::string& controlSocket = "/run/udev/control");

// The notice an event action stands for: "add" and "change" arrive,
// "remove" leaves; every other action is none.
std::optional<DeviceEvent> DeviceEventFromAction(std::string_view action);

class UdevMonitor {
 public:
  using Handler = std::function<void(DeviceEvent, const std::string& path)>;

  explicit UdevMonitor(UdevSource source = UdevSource::Automatic);
  ~UdevMonitor();
  UdevMonitor(const UdevMonitor&) = delete;
  UdevMonitor& operator=(const UdevMonitor&) = delete;

  bool Valid() const { return monitor_ != nullptr; }
  int Fd() const;
  const char* SourceName() const { return sourceName_; }
  void Drain(const Handler& handler);

 private:
  struct udev* udev_ = nullptr;
  struct udev_monitor* monitor_ = nullptr;
  const char* sourceName_ = "";
};

}  // namespace tolvar
