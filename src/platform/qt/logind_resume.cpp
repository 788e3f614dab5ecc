#include "platform/qt/logind_resume.h"

#include <QString>

namespace tolvar {

LogindResume::LogindResume(QDBusConnection bus, std::function<void()> onResume, QObject* parent)
    : QObject(parent), onResume_(std::move(onResume)) {
  listening_ = bus.isConnected() &&
               bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                           SLOT(OnPrepareForSleep(bool)));
}

void LogindResume::OnPrepareForSleep(bool goingToSleep) {
  if (!goingToSleep && onResume_) onResume_();
}

}  // namespace tolvar
