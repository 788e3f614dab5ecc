// The simulator's command lines: any line is understood or refused with a
// message, and what is understood lies within the command's ranges.
#include "fuzz_check.h"
#include "sim_command.h"

using namespace tolvar::mousesim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ParsedCommand parsed = ParseCommand({reinterpret_cast<const char*>(data), size});
  if (!parsed.error.empty()) {
    FUZZ_CHECK(parsed.command == Command{});
    return 0;
  }
  const Command& command = parsed.command;
  if (command.kind == CommandKind::Press || command.kind == CommandKind::Release) {
    FUZZ_CHECK(command.button >= 0 && command.button <= 15);
  }
  return 0;
}
