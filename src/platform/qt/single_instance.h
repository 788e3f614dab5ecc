// One instance per user: a lock file and a local socket named after
// "CTolvarApp" in the user's runtime folder (or a folder of the user's own
// in the temporary folder), which only the user may enter. A second start
// asks the first to show and restore its window, then ends. The lock is an
// flock on the file, held as long as the process lives: an instance killed
// leaves no stale lock behind, and taking it costs no write to the disk. An
// instance that ends removes the file.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>

namespace tolvar {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  SingleInstance();
  ~SingleInstance() override;

  // True when this process is the first instance; otherwise the running
  // instance has been asked to restore its window. Also true, with no lock,
  // when no folder is the user's alone.
  bool Acquire();
  // The folder of the lock and the socket; empty when there is none.
  const QString& Folder() const { return folder_; }
  const QString& SocketPath() const { return socketPath_; }
  // Called on the UI thread when a later start asks for the window.
  void OnRestoreRequest(std::function<void()> handler) { restore_ = std::move(handler); }

 private:
  QString folder_;
  QString lockPath_;
  QString socketPath_;
  int lockFile_ = -1;
  QLocalServer server_;
  std::function<void()> restore_;
};

}  // namespace tolvar
