// Fakes of the ports the skin code reads through.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar {

// Values by (file, section, key); reads honour the port's buffer cut.
class FakeIniStore : public IniStore {
 public:
  void Set(const std::string& file, const std::u16string& section, const std::u16string& key,
           const std::u16string& value) {
    values_[{file, section, key}] = value;
  }
  std::u16string Read(const std::string& file, std::u16string_view section, std::u16string_view key,
                      std::size_t bufferChars) override {
    ++reads;
    const auto found = values_.find({file, std::u16string(section), std::u16string(key)});
    if (found == values_.end() || bufferChars == 0) return {};
    return found->second.substr(0, bufferChars - 1);
  }
  bool Write(const std::string&, std::u16string_view, std::u16string_view, std::u16string_view) override {
    return false;
  }
  bool WriteBatch(const std::string&, const std::vector<IniEntry>&) override { return false; }

  int reads = 0;

 private:
  std::map<std::tuple<std::string, std::u16string, std::u16string>, std::u16string> values_;
};

class RecordingDialogs : public MessageBoxes {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption) override {
    messages.emplace_back(text, caption);
  }
  std::vector<std::pair<std::u16string, std::u16string>> messages;
};

}  // namespace tolvar
