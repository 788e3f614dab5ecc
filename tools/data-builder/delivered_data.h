// The configuration and macro files delivered with the program, written
// through the program's own INI engine and savers, so they are exactly what
// the program reads and writes.
#pragma once

#include <array>
#include <string>

namespace tolvar {

// The files, relative to the root folder they are written under.
inline constexpr std::array<const char*, 4> kDeliveredFiles{"skins/config/config.ini", "data/constMacro.dat",
                                                            "data/Macro_EN.dat", "data/Macro_CN.dat"};

// Writes every delivered file anew under `root` (folders created as needed).
// False when a file could not be written.
bool WriteDeliveredData(const std::string& root);

}  // namespace tolvar
