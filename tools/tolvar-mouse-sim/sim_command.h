// The simulator's commands, one per line of its standard input:
//   press N [B]   button report: byte 1 = 0xF0 + N (N 0..15), byte 2 = B (0..255, default 1)
//   release N     button report with byte 2 = 0x80
//   unplug, plug, state, quit
// and the faults it shows on command:
//   refuse [N]         the next N feature reports (default 1) are refused, not taken
//   delay MS [N]       the answers to the next N feature reports come MS ms late (MS 1..60000)
//   cut-feature        the next feature report: the connection closes before its answer
//   cut-input          every input connection closes in the middle of a report
//   gone-after N       the mouse is unplugged once it has taken N more feature reports (N 1..1000)
//   input B...         an input report of these bytes (0 to 64 of them, each 0..255)
//   random-input N     N input reports of random length (0..64) and random bytes (N 1..1000)
// Numbers are decimal or 0x-prefixed hexadecimal. A blank line is no command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvar::mousesim {

enum class CommandKind {
  None,
  Press,
  Release,
  Unplug,
  Plug,
  State,
  Quit,
  Refuse,
  Delay,
  CutFeature,
  CutInput,
  GoneAfter,
  Input,
  RandomInput,
};

inline constexpr int kMaxFaultCount = 1000;
inline constexpr int kMaxDelayMs = 60000;
inline constexpr std::size_t kMaxRawInputBytes = 64;

struct Command {
  CommandKind kind = CommandKind::None;
  int button = 0;
  std::uint8_t value = 1;
  int count = 1;                      // refuse, delay, gone-after, random-input
  int delayMs = 0;                    // delay
  std::vector<std::uint8_t> bytes{};  // input
  friend bool operator==(const Command&, const Command&) = default;
};

struct ParsedCommand {
  Command command;
  std::string error;  // empty when the line was understood
};

ParsedCommand ParseCommand(std::string_view line);

}  // namespace tolvar::mousesim
