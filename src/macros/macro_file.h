// Macro blocks in INI files: section "Macros" of a macro file, or a profile
// section of a settings file. A block is key "macroNum" (the count, read
// from 2 characters) and one key per macro, named by its index ("0", "1",
// ...), holding the macro's text (macro_text.h).
//
// A count read from a file is kept within the table: below 0 it counts as
// 0; above the table only the first 12 user macros (13 fixed macros) are
// read and the count becomes 12 (13), so slot 12 of the user table stays
// the blank record.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro.h"
#include "ports/ini_store.h"
#include "ports/message_boxes.h"

namespace tolvar {

inline constexpr std::u16string_view kMacroSection = u"Macros";
inline constexpr std::u16string_view kMissingFileMessage = u"找不到配置文件";

// Reads the block of `section` into the first `capacity` slots of `table`;
// slots at and beyond the new count keep what they held. A missing file
// shows "找不到配置文件" with `caption` and reads as an empty block.
void ReadMacroBlock(MacroTable& table, int capacity, IniStore& ini, MessageBoxes& dialogs,
                    const std::u16string& caption, const std::string& file, std::u16string_view section);

// The keys of a block: "macroNum", then the macros 0 .. count − 1.
std::vector<IniEntry> MacroBlockEntries(std::u16string_view section, const MacroTable& table);
// Writes the block as one batch. Keys of a larger earlier count stay; the
// count makes readers ignore them. Empty when stored, else the file and why
// not (the file is then as it was).
[[nodiscard]] SaveResult SaveUserMacros(IniStore& ini, const std::string& file, std::u16string_view section,
                                        const UserMacroTable& macros);

// The first user macro named exactly `name`; the count when none is.
int FindMacro(const UserMacroTable& macros, std::u16string_view name);

// Stores the repeat count typed as `text` into the selected macro, kept
// within 1..65535; returns the corrected text when the value had to be
// corrected, for the edit to show. A selection outside the user macros
// stores nothing.
std::optional<std::u16string> StoreRepeatCount(UserMacroTable& macros, int selectedMacro, std::u16string_view text);

}  // namespace tolvar
