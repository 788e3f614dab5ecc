// One instance per user: a lock file and a local socket named after
// "CTolvarApp" in the user's runtime folder. A second start asks the first
// to show and restore its window, then ends.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>
#include <memory>

namespace tolvar {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  SingleInstance();
  ~SingleInstance() override;

  // True when this process is the first instance; otherwise the running
  // instance has been asked to restore its window.
  bool Acquire();
  // Called on the UI thread when a later start asks for the window.
  void OnRestoreRequest(std::function<void()> handler) { restore_ = std::move(handler); }

 private:
  QString lockPath_;
  QString socketPath_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer server_;
  std::function<void()> restore_;
};

}  // namespace tolvar
