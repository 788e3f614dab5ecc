#include "sim_command.h"

#include <gtest/gtest.h>

namespace tolvar::mousesim {
namespace {

struct LineCase {
  const char* line;
  Command command;
  const char* error;  // part of the message; empty when the line is understood
};

class ParseCommandTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseCommandTest, Line) {
  const ParsedCommand parsed = ParseCommand(GetParam().line);
  const std::string expectedError = GetParam().error;
  if (expectedError.empty()) {
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.command, GetParam().command);
  } else {
    EXPECT_NE(parsed.error.find(expectedError), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.command.kind, CommandKind::None);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCommandTest,
    ::testing::Values(
        LineCase{"press 1", {CommandKind::Press, 1, 1}, ""}, LineCase{"press 5 3", {CommandKind::Press, 5, 3}, ""},
        LineCase{"  press\t0x0F  0xfe \r", {CommandKind::Press, 15, 0xFE}, ""},
        LineCase{"press 0 255", {CommandKind::Press, 0, 255}, ""},
        LineCase{"release 4", {CommandKind::Release, 4, 1}, ""}, LineCase{"unplug", {CommandKind::Unplug}, ""},
        LineCase{"plug", {CommandKind::Plug}, ""}, LineCase{"state", {CommandKind::State}, ""},
        LineCase{"quit", {CommandKind::Quit}, ""}, LineCase{"", {CommandKind::None}, ""},
        LineCase{"   ", {CommandKind::None}, ""}, LineCase{"press", {}, "usage: press N [B]"},
        LineCase{"press 1 2 3", {}, "usage: press N [B]"}, LineCase{"press 16", {}, "button number must be 0..15: 16"},
        LineCase{"press -1", {}, "button number must be 0..15"}, LineCase{"press x", {}, "button number must be 0..15"},
        LineCase{"press 1x", {}, "button number must be 0..15"},
        LineCase{"press 99999999999999999999", {}, "button number must be 0..15"},
        LineCase{"press 1 256", {}, "byte 2 must be 0..255: 256"}, LineCase{"press 1 0x", {}, "byte 2 must be 0..255"},
        LineCase{"release", {}, "usage: release N"}, LineCase{"release 1 2", {}, "usage: release N"},
        LineCase{"state now", {}, "state takes no arguments"}, LineCase{"PRESS 1", {}, "unknown command: PRESS"},
        LineCase{"hello", {}, "unknown command: hello"}));

Command Fault(CommandKind kind, int count = 1, int delayMs = 0, std::vector<std::uint8_t> bytes = {}) {
  Command command{kind};
  command.count = count;
  command.delayMs = delayMs;
  command.bytes = std::move(bytes);
  return command;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ParseCommandTest,
    ::testing::Values(
        LineCase{"refuse", Fault(CommandKind::Refuse), ""}, LineCase{"refuse 3", Fault(CommandKind::Refuse, 3), ""},
        LineCase{"refuse 0", {}, "N must be 1..1000"}, LineCase{"refuse 1001", {}, "N must be 1..1000"},
        LineCase{"refuse 1 2", {}, "usage: refuse [N]"}, LineCase{"delay 1000", Fault(CommandKind::Delay, 1, 1000), ""},
        LineCase{"delay 0x10 4", Fault(CommandKind::Delay, 4, 16), ""}, LineCase{"delay", {}, "usage: delay MS [N]"},
        LineCase{"delay 0", {}, "MS must be 1..60000"}, LineCase{"delay 60001", {}, "MS must be 1..60000"},
        LineCase{"cut-feature", Fault(CommandKind::CutFeature), ""},
        LineCase{"cut-feature 2", {}, "cut-feature takes no arguments"},
        LineCase{"cut-input", Fault(CommandKind::CutInput), ""},
        LineCase{"gone-after 5", Fault(CommandKind::GoneAfter, 5), ""},
        LineCase{"gone-after", {}, "usage: gone-after N"},
        LineCase{"input", Fault(CommandKind::Input), ""},  // an empty report
        LineCase{"input 4 0xF1 1", Fault(CommandKind::Input, 1, 0, {4, 0xF1, 1}), ""},
        LineCase{"input 4 256", {}, "each byte of input must be 0..255: 256"},
        LineCase{"random-input 50", Fault(CommandKind::RandomInput, 50), ""},
        LineCase{"random-input", {}, "usage: random-input N"}));

TEST(ParseCommandTest, InputTakesAtMostSixtyFourBytes) {
  std::string line = "input";
  for (int i = 0; i < 64; ++i) line += " 1";
  EXPECT_EQ(ParseCommand(line).command.bytes.size(), 64u);
  EXPECT_NE(ParseCommand(line + " 1").error.find("at most 64 bytes"), std::string::npos);
}

}  // namespace
}  // namespace tolvar::mousesim
