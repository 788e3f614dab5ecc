// The INI engine behind every configuration, macro and skin file.
//
// Reads follow the rules of IniDocument. Every write replaces the whole file
// atomically (a crash leaves it wholly old or wholly new), keeps every line
// it does not change byte for byte and keeps the file's encoding, line ends
// and permission bits; a new file is UTF-8 without byte order mark, LF ends.
// A write fails without effect, returning false, when the folder does not
// exist, the file cannot be written or has no write permission bit at all,
// the path is not a regular file or a link to one, the file exceeds
// kMaxIniFileBytes, the disk is full, or a name or value could not be read
// back as written (see IniDocument::CanHold); LastWriteError then says which.
// A write that changes no byte touches nothing.
//
// All calls on one store are serialised, so concurrent writes lose nothing.
// Parsed files are cached by path and revalidated on every call, so a read
// always sees the newest content and an unchanged file is not parsed again.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

#include "platform/ini/file_io.h"
#include "platform/ini/ini_document.h"
#include "ports/ini_store.h"

namespace tolvar {

// The WriteError that an error number of a failed file operation stands for.
WriteError WriteErrorOfErrno(int error);

class IniFileStore final : public IniStore {
 public:
  // How far a file's time stamps must lie in the past before a matching
  // identity alone proves it unchanged: some file systems keep only even
  // seconds, and a change within one tick keeps the time stamp.
  static constexpr std::chrono::nanoseconds kTimeStampSlack = std::chrono::seconds(2);

  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override;
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override;
  // In order, as one replacement; rejected as a whole when one entry is
  // invalid. An empty batch changes nothing and succeeds.
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override;
  // Kept for each thread, so that a save on one thread cannot change the
  // reason another thread reads.
  WriteError LastWriteError() const override;

 private:
  struct CachedFile {
    FileIdentity identity;
    std::string bytes;
    IniDocument document;
    // The file's times lie far enough in the past that any later change must
    // alter its identity; until then a cache hit compares the bytes as well.
    bool settled = false;
  };

  // The newest parsed content of the file, or null when it is missing or
  // unreadable. Requires mutex_; valid until the next call.
  const IniDocument* Current(const std::string& file);
  // The batch written, or why not.
  std::optional<WriteError> Replace(const std::string& file, const std::vector<IniEntry>& entries);

  mutable std::mutex mutex_;
  std::unordered_map<std::string, CachedFile> cache_;
  std::map<std::thread::id, WriteError> lastErrors_;
};

}  // namespace tolvar
