// Device arrival and removal notices on the user-interface thread.
//
// API: UdevNoticesQt implements DeviceNotices over a UdevMonitor on the
// hidraw subsystem. Start(handler), called on the user-interface thread,
// watches the monitor's descriptor with a QSocketNotifier in that thread's
// event loop; each time events are pending they are drained and handed to
// the handler as (DeviceEvent, device node path). When the monitor could not
// be opened, no notice ever arrives.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "platform/linux/udev_notices.h"
#include "ports/hid_backend.h"

namespace tolvar {

class UdevNoticesQt : public DeviceNotices {
 public:
  explicit UdevNoticesQt(UdevSource source = UdevSource::Automatic);

  void Start(std::function<void(DeviceEvent, const std::string& path)> handler) override;

 private:
  UdevMonitor monitor_;
  std::function<void(DeviceEvent, const std::string&)> handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tolvar
