// The program's long options. Only a first argument that is exactly one of
// them counts; any other command line starts the program, and the switch
// "HIDE" keeps its own rule (HasHideSwitch).
#pragma once

#include <string>
#include <string_view>

namespace tolvar {

enum class CommandOption { Run, Tray, Help, Version, Diagnose, Profile, Apply };

CommandOption CommandOptionOf(int argc, const char* const* argv);

// Exit statuses of --profile and --apply, which ask the running program.
constexpr int kRemoteDone = 0;
constexpr int kRemoteNoInstance = 1;
constexpr int kRemoteBadProfile = 2;

// The profile number after --profile: 1..5, or 0 when it is missing, not a
// whole number or outside 1..5.
int ProfileArgumentOf(int argc, const char* const* argv);

// The text of --help, with the exit statuses of --diagnose.
std::string HelpText(std::string_view programName);

// The line of --version.
std::string VersionText(std::string_view version);

}  // namespace tolvar
