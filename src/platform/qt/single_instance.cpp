#include "platform/qt/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tolvar {

namespace {

constexpr char kInstanceName[] = "CTolvarApp";
constexpr char kRestoreMessage[] = "restore\n";

// A folder only this user may enter: no other user can take the lock or
// reach the socket.
bool IsPrivateFolder(const QString& folder) {
  struct stat facts {};
  return lstat(QFile::encodeName(folder).constData(), &facts) == 0 && S_ISDIR(facts.st_mode) &&
         facts.st_uid == getuid() && (facts.st_mode & 077) == 0;
}

// The user's runtime folder; without one, a folder of the user's own in the
// temporary folder. Empty when neither is the user's alone (then there is no
// lock and every start runs).
QString PrivateFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) {
    folder = QDir::tempPath() + "/tolvar-" + QString::number(getuid());
    mkdir(QFile::encodeName(folder).constData(), 0700);
  }
  return IsPrivateFolder(folder) ? folder : QString();
}

}  // namespace

SingleInstance::SingleInstance() : folder_(PrivateFolder()) {
  lockPath_ = folder_ + "/" + kInstanceName + ".lock";
  socketPath_ = folder_ + "/" + kInstanceName + ".socket";
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
  if (lockFile_ >= 0) ::close(lockFile_);
}

bool SingleInstance::Acquire() {
  if (folder_.isEmpty()) return true;
  lockFile_ = ::open(QFile::encodeName(lockPath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFile_ < 0) return true;  // no lock to be had: run, as without a private folder
  if (::flock(lockFile_, LOCK_EX | LOCK_NB) == 0) {
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
  }
  ::close(lockFile_);
  lockFile_ = -1;
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
