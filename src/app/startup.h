// Start-up rules that depend only on the program's location and command line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/app_state.h"

namespace tolvar {

// The folder of the program file: the path cut before its last '/', without
// a trailing '/'; empty when the path holds no '/'.
std::string ModuleDirOf(std::string_view programPath);

// The program file's name without its folder and extension ("tolvar").
std::u16string ApplicationNameOf(std::string_view programPath);

// Every path of AppPaths from the module folder and the language.
AppPaths ComputePaths(const std::string& moduleDir, std::uint8_t verSel);
std::string MacroFilePathFor(const std::string& moduleDir, std::uint8_t verSel);

// The program's user guide, beside the program; the header's web button opens it.
inline constexpr const char* kGuidePage = "/guide/index.html";

// True when the 4 characters after the last '-' of the command line (its
// first 4 when it has no '-') are exactly "HIDE".
bool HasHideSwitch(std::u16string_view commandLine);

// Logical button for each device button number 0..15: the inverse of
// ButtonNumberTable, kNone where no logical button has that number.
std::array<std::uint8_t, 16> BuildButtonIndexByNumber();

// The colours and font of the window's child controls (the advanced page's
// edits and lists): white text on black in the language's font.
struct ControlColours {
  FontSpec font;
  Rgb background;
  Rgb text;
};
ControlColours ControlColoursFor(std::uint8_t verSel);

// The plug-in message shown when the mouse is not found.
std::u16string PlugInMessage(const std::u16string& windowTitle);

}  // namespace tolvar
