#include "support/fake_ini_store.h"

namespace tolvar::testing {

std::u16string RecordingIniStore::Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                                       std::size_t bufferChars) {
  return inner_.Read(file, section, key, bufferChars);
}

bool RecordingIniStore::Write(const std::string& file, std::u16string_view section, std::u16string_view key,
                              std::u16string_view value) {
  const bool ok = inner_.Write(file, section, key, value);
  Record({file, false, {{std::u16string(section), std::u16string(key), std::u16string(value)}}});
  return ok;
}

bool RecordingIniStore::WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) {
  const bool ok = inner_.WriteBatch(file, entries);
  Record({file, true, entries});
  return ok;
}

void RecordingIniStore::Record(RecordedWrite write) {
  writes_.push_back(std::move(write));
  if (onWrite) onWrite(writes_.back());
}

}  // namespace tolvar::testing
