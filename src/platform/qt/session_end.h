// The end of the desktop session as the program sees it on Linux: the
// session manager's request (Qt's commitDataRequest) or a termination
// signal (SIGTERM, SIGHUP, SIGINT: logout, a closed terminal, Ctrl+C).
// Either is delivered once, on the user-interface thread, so the program
// can end as its exit command does.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace tolvar {

// Blocks the termination signals for the calling thread and every thread
// it starts afterwards; call first in main, before any thread exists.
void BlockTerminationSignals();

class SessionEnd : public QObject {
 public:
  explicit SessionEnd(std::function<void()> onEnd);
  ~SessionEnd() override;

 private:
  void End();

  std::function<void()> onEnd_;
  int signalFd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool ended_ = false;
};

}  // namespace tolvar
