// Macro records and the two macro tables.
#pragma once

#include <array>
#include <cstdint>

namespace tolvar {

constexpr int kMacroNameUnits = 20;  // 19 UTF-16 units and the NUL
constexpr int kMacroEventSlots = 255;
constexpr int kMacroTableSlots = 13;  // slot 12 of the user table is the blank record
constexpr int kMaxUserMacros = 12;

constexpr std::uint8_t kLeftButtonCode = 240;
constexpr std::uint8_t kRightButtonCode = 241;
constexpr std::uint8_t kMiddleButtonCode = 242;
constexpr std::uint8_t kActionPress = 1;
constexpr std::uint8_t kActionRelease = 2;

// Bits of Macro::mode: none set plays once.
constexpr std::uint8_t kRepeatModeBit = 0x01;  // play repeatCount rounds
constexpr std::uint8_t kHeldModeBit = 0x02;    // play while the button is held

struct MacroEvent {
  std::uint8_t code = 0;    // keyboard usage ID, or 240..242 for mouse buttons
  std::uint8_t action = 0;  // 1 press, 2 release
  std::uint16_t delay = 0;  // milliseconds after this event
  friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

struct Macro {
  std::array<char16_t, kMacroNameUnits> name{};
  std::uint8_t mode = 0;  // kRepeatModeBit, kHeldModeBit
  std::uint16_t repeatCount = 0;
  std::uint8_t eventCount = 0;
  std::array<MacroEvent, kMacroEventSlots> events{};
  friend bool operator==(const Macro&, const Macro&) = default;
};

struct MacroTable {
  std::array<Macro, kMacroTableSlots> slots{};
  std::int16_t count = 0;
};

using UserMacroTable = MacroTable;
using FixedMacroTable = MacroTable;

}  // namespace tolvar
