#include "platform/qt/sim_notices_qt.h"

#include <utility>
#include <vector>

namespace tolvar {

SimNoticesQt::SimNoticesQt(std::string socketPath) : stream_(std::move(socketPath)) {}

void SimNoticesQt::Start(std::function<void(DeviceEvent, const std::string& path)> handler) {
  handler_ = std::move(handler);
  if (!stream_.Connect()) return;
  notifier_ = std::make_unique<QSocketNotifier>(stream_.Fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { OnReadable(); });
}

void SimNoticesQt::OnReadable() {
  const std::vector<DeviceEvent> events = stream_.Drain();
  if (stream_.Fd() < 0) notifier_->setEnabled(false);
  // A removal may end the window and this object with it: only copies are
  // used from here on.
  const auto handler = handler_;
  const std::string path = stream_.DevicePath();
  for (DeviceEvent event : events) handler(event, path);
}

}  // namespace tolvar
