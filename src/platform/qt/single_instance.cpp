#include "platform/qt/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tolvar {

namespace {

constexpr char kInstanceName[] = "CTolvarApp";
constexpr char kRestoreMessage[] = "restore\n";

QString RuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}

}  // namespace

SingleInstance::SingleInstance()
    : lockPath_(RuntimeFolder() + "/" + kInstanceName + ".lock"),
      socketPath_(RuntimeFolder() + "/" + kInstanceName + ".socket") {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (client->readAll().startsWith("restore") && restore_) restore_();
        client->disconnectFromServer();
      });
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    }
  });
}

SingleInstance::~SingleInstance() {
  server_.close();
  if (lock_) lock_->unlock();
}

bool SingleInstance::Acquire() {
  lock_ = std::make_unique<QLockFile>(lockPath_);
  lock_->setStaleLockTime(0);
  if (lock_->tryLock(0)) {
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
  }
  lock_.reset();
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (socket.waitForConnected(1000)) {
    socket.write(kRestoreMessage);
    socket.waitForBytesWritten(1000);
    socket.waitForDisconnected(1000);
  }
  return false;
}

}  // namespace tolvar
