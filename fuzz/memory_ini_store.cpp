#include "memory_ini_store.h"

namespace tolvar::fuzz {

void MemoryIniStore::Put(const std::string& file, std::string_view bytes) {
  files_.insert_or_assign(file, IniDocument(bytes));
}

std::u16string MemoryIniStore::Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                                    std::size_t bufferChars) {
  const auto found = files_.find(file);
  if (found == files_.end() || bufferChars == 0) return {};
  const std::u16string* value = found->second.Find(section, key);
  if (value == nullptr) return {};
  return value->substr(0, bufferChars - 1);
}

bool MemoryIniStore::Write(const std::string& file, std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) {
  return WriteBatch(file, {IniEntry{std::u16string(section), std::u16string(key), std::u16string(value)}});
}

bool MemoryIniStore::WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) {
  for (const IniEntry& entry : entries) {
    if (!IniDocument::CanHold(entry.section, entry.key, entry.value)) return false;
  }
  IniDocument& target = files_[file];
  for (const IniEntry& entry : entries) target.Set(entry.section, entry.key, entry.value);
  return true;
}

}  // namespace tolvar::fuzz
