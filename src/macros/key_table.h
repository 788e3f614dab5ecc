// The key table: keyboard usage IDs (held in macros and sent to the mouse),
// the virtual-key codes of the macro files and of keyboard capture, and the
// display name of each code. One table (key_table.cpp) gives all three; a
// second one gives the virtual-key code of each key position.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar {

// The virtual-key codes the program's own key handling names.
constexpr int kVkReturn = 13;
constexpr int kVkEscape = 27;
constexpr int kVkInsert = 45;
constexpr int kVkF10 = 121;

// The virtual-key code of a physical key: `kernelKeyCode` is the key's code
// in the kernel's input layer (an X key code less 8), and the result is the
// code the key at that position has on the US layout the key table is built
// on, whatever layout the desktop uses, so a recorded key plays back as the
// key that was pressed. The number pad gives digits while Num Lock is on and
// its navigation keys (number 5: CLEAR) while it is off. 0 for a key without
// a code (a multimedia key, say).
int VirtualKeyOfPosition(int kernelKeyCode, bool numLock);

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
