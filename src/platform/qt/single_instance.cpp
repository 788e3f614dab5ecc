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

constexpr int kHeldElsewhere = -1;
constexpr int kNoLock = -2;

// The lock file, open and locked by this process; kHeldElsewhere when
// another instance holds it; kNoLock when it cannot be opened. A lock taken
// on a file that its holder removed on ending, just before, is taken again
// on the file now in the folder.
int LockedFile(const char* path) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return kNoLock;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return kHeldElsewhere;
    }
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && ::stat(path, &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      return fd;
    }
    ::close(fd);
  }
  return kNoLock;
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
  if (lockFile_ >= 0) {
    // Removed while still held: a start that opened it meanwhile finds its
    // lock on a file no longer in the folder and takes the lock afresh.
    ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(lockFile_);
  }
}

bool SingleInstance::Acquire() {
  if (folder_.isEmpty()) return true;
  const int locked = LockedFile(QFile::encodeName(lockPath_).constData());
  if (locked == kNoLock) return true;  // no lock to be had: run, as without a private folder
  if (locked >= 0) {
    lockFile_ = locked;
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
  }
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
