#include "platform/qt/session_end.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QGuiApplication>

namespace tolvar {

namespace {

sigset_t TerminationSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

void BlockTerminationSignals() {
  const sigset_t set = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SessionEnd::SessionEnd(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
  const sigset_t set = TerminationSignals();
  signalFd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signalFd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(signalFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
      signalfd_siginfo info;
      while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
      }
      End();
    });
  }
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, [this] { End(); });
  }
}

SessionEnd::~SessionEnd() {
  notifier_.reset();
  if (signalFd_ >= 0) close(signalFd_);
}

void SessionEnd::End() {
  if (ended_) return;
  ended_ = true;
  if (onEnd_) onEnd_();
}

}  // namespace tolvar
