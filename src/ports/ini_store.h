// What the core needs of INI files: one value read into a buffer of a given
// number of UTF-16 characters, one value written, or several written at once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar {

struct IniEntry {
  std::u16string section;
  std::u16string key;
  std::u16string value;
};

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
};

}  // namespace tolvar
