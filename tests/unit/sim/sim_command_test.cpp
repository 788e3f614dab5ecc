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

}  // namespace
}  // namespace tolvar::mousesim
