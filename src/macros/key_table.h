// The key table: keyboard usage IDs (held in macros and sent to the mouse),
// the virtual-key codes of the macro files and of keyboard capture, and the
// display name of each code. One table (key_table.cpp) gives all three.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar {

// Virtual-key code to usage ID; codes not in the table pass unchanged
// (so do the mouse-button codes 240..242).
std::uint8_t VkToUsage(std::uint8_t virtualKey);
// Usage ID to virtual-key code; usage IDs not in the table, and usage 118
// which has a name but no virtual-key code, pass unchanged.
std::uint8_t UsageToVk(std::uint8_t usage);
// The display name of a usage ID or mouse-button code; "NON-AVAILABLE" for
// every code the table does not name.
std::u16string KeyName(std::uint8_t code);

}  // namespace tolvar
