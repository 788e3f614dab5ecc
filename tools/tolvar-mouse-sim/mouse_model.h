// The simulated mouse's own behaviour: the state the feature commands set,
// the log records and input reports each command gives, the button reports
// of presses and releases, and the state in words.
//
// Commands (feature report id 7, byte 1 the command; a report of another id
// or shorter than 8 bytes is logged and otherwise ignored):
//   0x09 DPI level: byte 2 = current level + 0x40, byte 3 = step × 16 + 8 +
//        level, byte 4 = enable mask (bit j: level j);
//   0x0A report rate code;        0x10 function byte (byte 3) of button byte 2;
//   0x11 wheel status;            0x12 fire time (byte 2 high, byte 3 low);
//   0x13 cycle colours (byte 2) and lighting (byte 3);
//   0x14 colour of a level: byte 2 = level × 32 + G, byte 3 = R × 16 + B;
//   0x15 the six held keys;       0x16 mouse buttons (byte 3, bit clear = down);
//   0x17 consumer usage (byte 2 high, byte 3 low);   0x20 detach.
// A field whose value lies outside its range is ignored.
//
// A press of a button whose function byte is a DPI function changes the
// level: 6 goes to the next enabled level, wrapping from 5 to 0; 11 to the
// next enabled level up, staying at the top; 12 to the next enabled level
// down, staying at the bottom. The press report then carries the new level.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolvar::mousesim {

constexpr int kAssignableButtons = 6;  // buttons 1..6 take a function byte
constexpr int kDpiLevels = 6;
constexpr int kMaxButtonNumber = 15;  // byte 1 of a button report is 0xF0 + number
constexpr std::uint8_t kReleaseValue = 0x80;

constexpr std::uint8_t kNextLevelFunction = 6;
constexpr std::uint8_t kLevelUpFunction = 11;
constexpr std::uint8_t kLevelDownFunction = 12;

struct LevelState {
  std::uint8_t step = 0;
  std::uint8_t r = 0, g = 0, b = 0;  // 4-bit channels as sent: 0 is the brightest
};

struct MouseState {
  // Factory state: every button its own function, the levels, colours and
  // lighting the program itself starts from.
  std::array<std::uint8_t, kAssignableButtons> functions{1, 2, 3, 4, 5, 6};  // of buttons 1..6
  std::array<LevelState, kDpiLevels> levels{
      {{3, 15, 15, 0}, {5, 0, 15, 0}, {6, 15, 0, 15}, {9, 0, 15, 15}, {13, 15, 0, 0}, {15, 0, 0, 15}}};
  int dpiLevel = 1;
  std::uint8_t enableMask = 0x3F;
  std::uint8_t cycleMask = 0x7F;
  std::uint8_t lighting = 0x92;
  std::uint16_t fireTime = 50;
  std::uint8_t reportRateCode = 1;
  std::uint8_t wheelStatus = 0;
  std::array<std::uint8_t, 6> heldKeys{};
  std::uint8_t buttonMask = 0xFF;
};

// What the mouse does in answer to a report: log records (without their
// time) and the input reports it sends to the computer.
struct Reaction {
  std::vector<std::string> records;
  std::vector<std::vector<std::uint8_t>> inputReports;
};

class MouseModel {
 public:
  Reaction TakeFeatureReport(std::span<const std::uint8_t> report);
  // The button report of a press of button `number` (0..kMaxButtonNumber):
  // byte 2 is `value`, or the new level for a DPI function.
  std::vector<std::uint8_t> Press(int number, std::uint8_t value);
  std::vector<std::uint8_t> Release(int number);

  const MouseState& State() const { return state_; }
  // Several lines, each ending in '\n'.
  std::string Describe() const;

 private:
  void ApplyCommand(std::span<const std::uint8_t> report, Reaction& reaction);
  int LevelAfter(std::uint8_t function) const;

  MouseState state_;
};

// "07 20 00": two-digit upper-case hex separated by single spaces.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace tolvar::mousesim
