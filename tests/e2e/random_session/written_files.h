// Checks of the files the program writes, read through the program's own
// INI reader and macro decoder: the configuration file (Init and every
// profile section), the macro files and exported profiles and macro files.
// Every value must be "%d" text within the range the editing operations
// produce; a problem is returned as one line of text.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tolvar::testing {

// The range of one profile key, by its name with the digits taken out
// ("DPI3_R" and "DPI_SET_EN0" are "DPI_R" and "DPI_SET_EN").
struct KeyRange {
  const char* key;
  std::int32_t min;
  std::int32_t max;
};

class WrittenFileChecker {
 public:
  // `deliveredConfig`: the configuration file as delivered; its button codes
  // count as valid, and its reset sections must never change.
  explicit WrittenFileChecker(std::string deliveredConfig);

  // Init, Config1..Config6 and their macro blocks; no other profile
  // section may appear, and the reset sections stay as delivered.
  std::vector<std::string> CheckConfigFile(const std::string& file) const;
  // An exported profile: one whole section Config7 with its macro block.
  std::vector<std::string> CheckExportedProfile(const std::string& file) const;
  // A macro file: the block of section "Macros".
  std::vector<std::string> CheckMacroFile(const std::string& file) const;

  const std::set<std::int32_t>& ButtonCodes() const { return buttonCodes_; }

 private:
  void CheckProfileSection(const std::string& file, const std::u16string& section,
                           std::vector<std::string>& problems) const;
  void CheckMacroBlock(const std::string& file, const std::u16string& section,
                       std::vector<std::string>& problems) const;

  std::string deliveredConfig_;
  std::set<std::int32_t> buttonCodes_;
};

// The section names of an INI file in their order, as "[name]" lines give them.
std::vector<std::string> SectionNames(const std::string& file);

}  // namespace tolvar::testing
