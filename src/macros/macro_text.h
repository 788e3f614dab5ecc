// The text form of one macro in a macro block: 1064 three-digit fields
// ("007", "042", "255"), 3192 characters: the 40 bytes of the name
// (UTF-16 little-endian), mode, repeat count (low, high), event count, then
// for each of the 255 event positions its code as a virtual-key code, its
// action and its delay (low, high).
#pragma once

#include <string>
#include <string_view>

#include "macros/macro.h"

namespace tolvar {

constexpr std::size_t kMacroTextChars = 3192;

std::u16string EncodeMacro(const Macro& macro);

// Reads consecutive three-character pieces with ParseDecimal, keeping the
// low 8 bits of each; fields beyond a short text read as 0. The name always
// ends with a NUL: a 20th unit from the text is dropped.
Macro DecodeMacro(std::u16string_view text);

// A name cut to the 19 UTF-16 units that fit before the NUL (a surrogate
// pair is never split).
std::array<char16_t, kMacroNameUnits> MacroNameFrom(std::u16string_view name);
std::u16string MacroNameText(const Macro& macro);

}  // namespace tolvar
