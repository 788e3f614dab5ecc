// Arrival and removal notices of the simulated mouse on the user-interface
// thread: a QSocketNotifier watches the simulator's notice connection and
// hands each notice to the handler. Without a listening simulator, Start
// subscribes to nothing and no notice ever comes.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

#include "platform/sim/sim_notice_stream.h"
#include "ports/hid_backend.h"

namespace tolvar {

class SimNoticesQt : public DeviceNotices {
 public:
  explicit SimNoticesQt(std::string socketPath);

  // Call on the user-interface thread.
  void Start(std::function<void(DeviceEvent, const std::string& path)> handler) override;

 private:
  void OnReadable();

  sim::SimNoticeStream stream_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void(DeviceEvent, const std::string& path)> handler_;
};

}  // namespace tolvar
