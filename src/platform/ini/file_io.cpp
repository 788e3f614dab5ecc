#include "platform/ini/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace tolvar {

namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::int64_t>(status.st_size), Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim)};
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// 0, or the error number of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// A name in `folder` for a temporary sibling of `name`, unused until now.
std::string TemporaryName(const std::string& folder, const std::string& name) {
  static std::atomic<unsigned> counter{0};
  return folder + "/." + name + "." + std::to_string(::getpid()) + "." +
         std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + ".tmp";
}

// A replacement being written: a file without a name in the folder while it
// is written and synced, so that a process killed meanwhile leaves nothing
// behind; it gets its temporary name only just before the rename. Where the
// file system has no unnamed files, it is named from the start.
class Replacement {
 public:
  Replacement(const std::string& folder, const std::string& name) : folder_(folder), name_(name) {
    // Naming an unnamed file goes through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
      fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
      if (fd_ >= 0) return;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = TemporaryName(folder, name);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) {
      openError_ = errno;
      path_.clear();
    }
  }
  ~Replacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  int fd() const { return fd_; }
  // Why the file could not be created, when fd() < 0.
  int openError() const { return openError_; }

  // Closes the written file and renames it over `target`; 0, or the error
  // number of the step that failed.
  int ReplaceTarget(const std::string& target) {
    if (path_.empty()) {  // unnamed: give it a name first
      const std::string self = "/proc/self/fd/" + std::to_string(fd_);
      for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        std::string candidate = TemporaryName(folder_, name_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
          path_ = std::move(candidate);
        } else if (errno != EEXIST) {
          return errno;
        }
      }
      if (path_.empty()) return EEXIST;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(path_.c_str(), target.c_str()) != 0) return errno;
    path_.clear();
    return 0;
  }

 private:
  std::string folder_;
  std::string name_;
  std::string path_;  // empty while the file has no name
  int fd_ = -1;
  int openError_ = 0;
};

void SyncFolder(const std::string& folder) {
  Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());  // best effort: the rename has happened
}

}  // namespace

FileFacts InspectFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    const int error = errno;
    const bool missing = error == ENOENT || error == ENOTDIR;
    return {missing ? FileFacts::Kind::kMissing : FileFacts::Kind::kOther, error, {}, 0, false, 0};
  }
  if (!S_ISREG(status.st_mode)) return {FileFacts::Kind::kOther, 0, IdentityOf(status), 0, false, 0};
  const unsigned permissions = status.st_mode & 07777;
  int writeError = (permissions & 0222) == 0 ? EACCES : 0;
  if (writeError == 0 && ::access(path.c_str(), W_OK) != 0) writeError = errno;
  return {FileFacts::Kind::kRegular, 0, IdentityOf(status), permissions, writeError == 0, writeError};
}

bool ReadWholeFile(const std::string& path, std::string& bytes, FileIdentity& identity) {
  // Non-blocking, so that a pipe in the file's place cannot hold the open.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.get() < 0) return false;
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uint64_t>(status.st_size) > kMaxIniFileBytes) {
    return false;
  }
  identity = IdentityOf(status);
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    if (bytes.size() + static_cast<std::size_t>(got) > kMaxIniFileBytes) return false;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
}

std::string WriteTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

int ReplaceFile(const std::string& path, std::string_view bytes, std::optional<unsigned> permissions) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return EISDIR;

  Replacement replacement(folder, name);
  if (replacement.fd() < 0) return replacement.openError();
  int error = WriteAll(replacement.fd(), bytes);
  if (error == 0 && permissions && ::fchmod(replacement.fd(), *permissions) != 0) error = errno;
  if (error == 0 && ::fsync(replacement.fd()) != 0) error = errno;
  if (error == 0) error = replacement.ReplaceTarget(path);
  if (error != 0) return error;
  SyncFolder(folder);
  return 0;
}

std::int64_t WallClockNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

}  // namespace tolvar
