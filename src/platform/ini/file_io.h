// Whole-file reads and crash-safe whole-file replacement, through POSIX calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvar {

// Files larger than this are not INI files of this program; they are neither
// read nor rewritten.
inline constexpr std::size_t kMaxIniFileBytes = 16 * 1024 * 1024;

// What tells one version of a file from another without reading it.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // content change time, nanoseconds since the epoch
  std::int64_t changedNs = 0;   // status change time: moves with every write, cannot be set back
  bool operator==(const FileIdentity&) const = default;
};

struct FileFacts {
  enum class Kind { kRegular, kMissing, kOther } kind = Kind::kMissing;  // kOther: folder, device, no access
  int statError = 0;  // why the path could not be inspected (ENOENT for a missing file or folder)
  FileIdentity identity;
  unsigned permissions = 0;  // mode bits 07777
  bool writable = false;     // we may write it, and it is not marked read-only (no write bit at all)
  int writeError = 0;        // why not writable: EACCES, or EROFS on a read-only file system
};

// The facts of the file a path names, following symbolic links.
FileFacts InspectFile(const std::string& path);

// The whole content of a regular file of at most kMaxIniFileBytes, and the
// identity of the version read. False when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, FileIdentity& identity);

// The path to write for `path`: the file a symbolic link points to, so that
// the replacement keeps the link. Empty for a link that leads nowhere.
std::string WriteTarget(const std::string& path);

// Replaces the file with one holding `bytes`: writes a temporary file in the
// same folder, flushes it to disk and renames it over the path, so the file is
// always either wholly old or wholly new. `permissions` are given to the new
// file; without them it gets 0666 less the umask. Returns 0, or the error
// number (errno) of the step that failed, with nothing left behind.
int ReplaceFile(const std::string& path, std::string_view bytes, std::optional<unsigned> permissions);

// The wall clock in nanoseconds since the epoch, as file times are kept.
std::int64_t WallClockNs();

}  // namespace tolvar
