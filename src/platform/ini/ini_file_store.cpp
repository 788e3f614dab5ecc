#include "platform/ini/ini_file_store.h"

#include <algorithm>
#include <cerrno>

namespace tolvar {

namespace {

bool IsSettled(const FileIdentity& identity, std::int64_t readStartNs) {
  return std::max(identity.modifiedNs, identity.changedNs) < readStartNs - IniFileStore::kTimeStampSlack.count();
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// A value as a buffer of bufferChars units receives it: at most bufferChars - 1
// units, never ending in the first half of a cut surrogate pair.
std::u16string CutToBuffer(const std::u16string& value, std::size_t bufferChars) {
  if (bufferChars == 0) return {};
  std::size_t length = std::min(value.size(), bufferChars - 1);
  if (length < value.size() && length > 0 && IsHighSurrogate(value[length - 1])) --length;
  return value.substr(0, length);
}

}  // namespace

WriteError WriteErrorOfErrno(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return WriteError::kDiskFull;
    case EACCES:
    case EPERM:
      return WriteError::kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
      return WriteError::kFolderMissing;
    case EROFS:
      return WriteError::kReadOnlyFileSystem;
    case EISDIR:
      return WriteError::kNotAFile;
    case EFBIG:
      return WriteError::kFileTooLarge;
    default:
      return WriteError::kOther;
  }
}

const IniDocument* IniFileStore::Current(const std::string& file) {
  const FileFacts facts = InspectFile(file);
  auto cached = cache_.find(file);
  if (facts.kind != FileFacts::Kind::kRegular) {
    if (cached != cache_.end()) cache_.erase(cached);
    return nullptr;
  }
  if (cached != cache_.end() && cached->second.settled && cached->second.identity == facts.identity) {
    return &cached->second.document;
  }

  const std::int64_t readStartNs = WallClockNs();
  std::string bytes;
  FileIdentity identity;
  if (!ReadWholeFile(file, bytes, identity)) {
    if (cached != cache_.end()) cache_.erase(cached);
    return nullptr;
  }
  const bool settled = IsSettled(identity, readStartNs);
  if (cached != cache_.end() && cached->second.bytes == bytes) {
    cached->second.identity = identity;
    cached->second.settled = settled;
    return &cached->second.document;
  }
  IniDocument document(bytes);
  CachedFile& entry = cache_[file];
  entry = CachedFile{identity, std::move(bytes), std::move(document), settled};
  return &entry.document;
}

std::u16string IniFileStore::Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                                  std::size_t bufferChars) {
  const std::lock_guard lock(mutex_);
  const IniDocument* document = Current(file);
  const std::u16string* value = document ? document->Find(section, key) : nullptr;
  return value ? CutToBuffer(*value, bufferChars) : std::u16string();
}

bool IniFileStore::Write(const std::string& file, std::u16string_view section, std::u16string_view key,
                         std::u16string_view value) {
  return WriteBatch(file, {IniEntry{std::u16string(section), std::u16string(key), std::u16string(value)}});
}

bool IniFileStore::WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) {
  const std::optional<WriteError> error = Replace(file, entries);
  const std::lock_guard lock(mutex_);
  if (error) {
    lastErrors_[std::this_thread::get_id()] = *error;
  } else {
    lastErrors_.erase(std::this_thread::get_id());
  }
  return !error;
}

WriteError IniFileStore::LastWriteError() const {
  const std::lock_guard lock(mutex_);
  const auto found = lastErrors_.find(std::this_thread::get_id());
  return found == lastErrors_.end() ? WriteError::kOther : found->second;
}

std::optional<WriteError> IniFileStore::Replace(const std::string& file, const std::vector<IniEntry>& entries) {
  for (const IniEntry& entry : entries) {
    if (!IniDocument::CanHold(entry.section, entry.key, entry.value)) return WriteError::kUnstorableText;
  }
  if (entries.empty()) return std::nullopt;

  const std::lock_guard lock(mutex_);
  const std::string target = WriteTarget(file);
  if (target.empty()) return WriteError::kNotAFile;
  const FileFacts facts = InspectFile(target);
  if (facts.kind == FileFacts::Kind::kOther) {
    return facts.statError != 0 ? WriteErrorOfErrno(facts.statError) : WriteError::kNotAFile;
  }

  IniDocument document;
  std::optional<unsigned> permissions;
  if (facts.kind == FileFacts::Kind::kRegular) {
    if (!facts.writable) return WriteErrorOfErrno(facts.writeError);
    const IniDocument* current = Current(file);
    if (current == nullptr) {
      const bool tooLarge = static_cast<std::uint64_t>(facts.identity.size) > kMaxIniFileBytes;
      return tooLarge ? WriteError::kFileTooLarge : WriteError::kPermissionDenied;
    }
    document = *current;
    permissions = facts.permissions;
  }
  bool changed = false;
  for (const IniEntry& entry : entries) {
    changed = document.Set(entry.section, entry.key, entry.value) || changed;
  }
  if (!changed) return std::nullopt;

  std::string bytes = document.Bytes();
  if (const int error = ReplaceFile(target, bytes, permissions); error != 0) return WriteErrorOfErrno(error);
  const FileFacts written = InspectFile(file);
  if (written.kind == FileFacts::Kind::kRegular) {
    // Not settled: a change by someone else within the same time stamp would
    // keep this identity, so the next read compares the bytes.
    cache_[file] = CachedFile{written.identity, std::move(bytes), std::move(document), false};
  } else {
    cache_.erase(file);
  }
  return std::nullopt;
}

}  // namespace tolvar
