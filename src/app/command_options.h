// The program's long options. Only a first argument that is exactly one of
// them counts; any other command line starts the program, and the switch
// "HIDE" keeps its own rule (HasHideSwitch).
#pragma once

#include <string>
#include <string_view>

namespace tolvar {

enum class CommandOption { Run, Help, Version, Diagnose };

CommandOption CommandOptionOf(int argc, const char* const* argv);

// The text of --help, with the exit statuses of --diagnose.
std::string HelpText(std::string_view programName);

// The line of --version.
std::string VersionText(std::string_view version);

}  // namespace tolvar
