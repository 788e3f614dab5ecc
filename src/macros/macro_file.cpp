#include "macros/macro_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "macros/macro_text.h"

namespace tolvar {

namespace {

constexpr std::u16string_view kCountKey = u"macroNum";
constexpr std::size_t kCountBufferChars = 3;                    // at most 2 characters
constexpr std::size_t kMacroBufferChars = kMacroTextChars + 1;  // the whole text
constexpr std::uint16_t kMaxRepeatCount = 65535;

bool FileExists(const std::string& file) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(file), error);
}

}  // namespace

void ReadMacroBlock(MacroTable& table, int capacity, IniStore& ini, MessageBoxes& dialogs,
                    const std::u16string& caption, const std::string& file, std::u16string_view section) {
  if (!FileExists(file)) dialogs.MessageBox(std::u16string(kMissingFileMessage), caption);
  const std::int32_t count = ParseDecimal(ini.Read(file, section, kCountKey, kCountBufferChars));
  table.count = static_cast<std::int16_t>(std::clamp(count, 0, capacity));
  for (int i = 0; i < table.count; ++i) {
    table.slots[i] = DecodeMacro(ini.Read(file, section, DecimalText(i), kMacroBufferChars));
  }
}

std::vector<IniEntry> MacroBlockEntries(std::u16string_view section, const MacroTable& table) {
  const int count = std::clamp<int>(table.count, 0, kMacroTableSlots);
  std::vector<IniEntry> entries;
  entries.reserve(count + 1);
  const std::u16string sectionName(section);
  entries.push_back({sectionName, std::u16string(kCountKey), DecimalText(count)});
  for (int i = 0; i < count; ++i) entries.push_back({sectionName, DecimalText(i), EncodeMacro(table.slots[i])});
  return entries;
}

SaveResult SaveUserMacros(IniStore& ini, const std::string& file, std::u16string_view section,
                          const UserMacroTable& macros) {
  return SaveResultOf(ini, file, ini.WriteBatch(file, MacroBlockEntries(section, macros)));
}

int FindMacro(const UserMacroTable& macros, std::u16string_view name) {
  const int count = std::clamp<int>(macros.count, 0, kMacroTableSlots);
  for (int i = 0; i < count; ++i) {
    if (MacroNameText(macros.slots[i]) == name) return i;
  }
  return count;
}

std::optional<std::u16string> StoreRepeatCount(UserMacroTable& macros, int selectedMacro, std::u16string_view text) {
  const std::int32_t typed = ParseDecimal(text);
  const auto stored = static_cast<std::uint16_t>(std::clamp<std::int32_t>(typed, 1, kMaxRepeatCount));
  if (selectedMacro >= 0 && selectedMacro < kMaxUserMacros) macros.slots[selectedMacro].repeatCount = stored;
  if (stored == typed) return std::nullopt;
  return DecimalText(stored);
}

}  // namespace tolvar
