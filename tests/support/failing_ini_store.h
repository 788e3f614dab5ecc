// An IniStore that passes every call on to another store, except that while
// a failure is set each write fails with it and changes nothing, as a full
// disk or a folder that cannot be written makes a real store fail.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ports/ini_store.h"

namespace tolvar::testing {

class FailingIniStore final : public IniStore {
 public:
  explicit FailingIniStore(IniStore& inner) : inner_(inner) {}

  // Every write from now on fails with `error`; nothing: writes pass again.
  void FailWith(std::optional<WriteError> error) { failure_ = error; }

  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override {
    return inner_.Read(file, section, key, bufferChars);
  }
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    if (failure_) return Fail(file);
    return inner_.Write(file, section, key, value);
  }
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override {
    if (failure_) return Fail(file);
    return inner_.WriteBatch(file, entries);
  }
  WriteError LastWriteError() const override { return failure_ ? *failure_ : inner_.LastWriteError(); }

  // The files whose writes failed, in order.
  std::vector<std::string> failedFiles;

 private:
  bool Fail(const std::string& file) {
    failedFiles.push_back(file);
    return false;
  }

  IniStore& inner_;
  std::optional<WriteError> failure_;
};

}  // namespace tolvar::testing
