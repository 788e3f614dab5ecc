#include "platform/qt/udev_notices_qt.h"

namespace tolvar {

UdevNoticesQt::UdevNoticesQt(UdevSource source) : monitor_(source) {}

void UdevNoticesQt::Start(std::function<void(DeviceEvent, const std::string& path)> handler) {
  handler_ = std::move(handler);
  if (!monitor_.Valid()) return;
  notifier_ = std::make_unique<QSocketNotifier>(monitor_.Fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { monitor_.Drain(handler_); });
}

}  // namespace tolvar
