// The simulator's commands, one per line of its standard input:
//   press N [B]   button report: byte 1 = 0xF0 + N (N 0..15), byte 2 = B (0..255, default 1)
//   release N     button report with byte 2 = 0x80
//   unplug, plug, state, quit
// Numbers are decimal or 0x-prefixed hexadecimal. A blank line is no command.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvar::mousesim {

enum class CommandKind { None, Press, Release, Unplug, Plug, State, Quit };

struct Command {
  CommandKind kind = CommandKind::None;
  int button = 0;
  std::uint8_t value = 1;
  friend bool operator==(const Command&, const Command&) = default;
};

struct ParsedCommand {
  Command command;
  std::string error;  // empty when the line was understood
};

ParsedCommand ParseCommand(std::string_view line);

}  // namespace tolvar::mousesim
