// Resume from sleep: logind's PrepareForSleep(false) on the system bus.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace tolvar {

class LogindResume : public QObject {
  Q_OBJECT

 public:
  // Listens on `bus` (the system bus in the program, a private one in
  // tests) for the login manager's signal; `onResume` runs on the thread of
  // this object after each wake-up.
  LogindResume(QDBusConnection bus, std::function<void()> onResume, QObject* parent = nullptr);

  // False when the bus is not there or the signal could not be subscribed:
  // the program then simply never hears of a resume.
  bool IsListening() const { return listening_; }

 private Q_SLOTS:
  void OnPrepareForSleep(bool goingToSleep);

 private:
  std::function<void()> onResume_;
  bool listening_ = false;
};

}  // namespace tolvar
