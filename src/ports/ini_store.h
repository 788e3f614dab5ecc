// What the core needs of INI files: one value read into a buffer of a given
// number of UTF-16 characters, one value written, or several written at once,
// and why a write failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

struct IniEntry {
  std::u16string section;
  std::u16string key;
  std::u16string value;
};

// Why a write left the file as it was.
enum class WriteError : std::uint8_t {
  kDiskFull,            // no space left (or the user's quota is used up)
  kPermissionDenied,    // the file or its folder may not be written by this user
  kFolderMissing,       // the folder the file belongs in does not exist
  kReadOnlyFileSystem,  // the file lies on a file system mounted read-only
  kNotAFile,            // a folder or another non-file is in the file's place
  kFileTooLarge,        // the file is larger than any file this program writes
  kUnstorableText,      // a name or value could not be read back as written
  kOther,               // any other input or output error
};

// A write that failed: the file it was for and why.
struct WriteFailure {
  std::string file;
  WriteError error = WriteError::kOther;
  friend bool operator==(const WriteFailure&, const WriteFailure&) = default;
};

// The result of one save: empty when it was stored.
using SaveResult = std::optional<WriteFailure>;

class IniStore {
 public:
  virtual ~IniStore() = default;

  // The value of `key` in the first section named `section` (both matched
  // without regard to ASCII case), blanks around it removed and one pair of
  // enclosing quotation marks dropped, cut to bufferChars - 1 UTF-16 units.
  // A missing file, section or key gives the empty text.
  virtual std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                              std::size_t bufferChars) = 0;

  // Creates the file, the section or the key as needed and replaces exactly
  // that one key; every other line stays byte for byte. Atomic on disk.
  virtual bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) = 0;

  // Several keys of one file written as one atomic replacement, in order.
  virtual bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) = 0;

  // Why the last Write or WriteBatch of the calling thread on this store
  // returned false. A store that cannot tell says kOther.
  virtual WriteError LastWriteError() const { return WriteError::kOther; }
};

// The SaveResult of a write to `file` that returned `written`.
inline SaveResult SaveResultOf(const IniStore& ini, const std::string& file, bool written) {
  if (written) return std::nullopt;
  return WriteFailure{file, ini.LastWriteError()};
}

}  // namespace tolvar
