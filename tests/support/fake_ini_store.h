// An IniStore that passes every call on to another store and records the
// writes, so a test can see how many calls a save took and in what order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ports/ini_store.h"

namespace tolvar::testing {

struct RecordedWrite {
  std::string file;
  bool batch = false;             // WriteBatch rather than Write
  std::vector<IniEntry> entries;  // one entry for Write
};

class RecordingIniStore final : public IniStore {
 public:
  explicit RecordingIniStore(IniStore& inner) : inner_(inner) {}

  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override;
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override;
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override;
  WriteError LastWriteError() const override { return inner_.LastWriteError(); }

  const std::vector<RecordedWrite>& Writes() const { return writes_; }
  void ClearWrites() { writes_.clear(); }
  // Called after each write reached the inner store.
  std::function<void(const RecordedWrite&)> onWrite;

 private:
  void Record(RecordedWrite write);

  IniStore& inner_;
  std::vector<RecordedWrite> writes_;
};

}  // namespace tolvar::testing
