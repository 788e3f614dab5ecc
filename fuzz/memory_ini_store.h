// An IniStore that keeps its files in memory, parsed by the same IniDocument
// the file store uses, so the loaders can be fuzzed without touching a disk.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/ini/ini_document.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar::fuzz {

class MemoryIniStore final : public IniStore {
 public:
  // Replaces the file's content by these bytes.
  void Put(const std::string& file, std::string_view bytes);

  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override;
  bool Write(const std::string& file, std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override;
  bool WriteBatch(const std::string& file, const std::vector<IniEntry>& entries) override;
  // A write fails only for a name or value the document could not hold.
  WriteError LastWriteError() const override { return WriteError::kUnstorableText; }

 private:
  // Each file as parsed; writes change the document only, as nothing reads
  // a file's bytes back.
  std::map<std::string, IniDocument> files_;
};

// Message boxes that only count how often they were shown.
class CountingDialogs final : public MessageBoxes {
 public:
  void MessageBox(const std::u16string&, const std::u16string&) override { ++shown; }
  int shown = 0;
};

}  // namespace tolvar::fuzz
