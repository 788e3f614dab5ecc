#include "app/command_options.h"

#include <charconv>

#include "app/diagnosis.h"
#include "config/application_rules.h"

namespace tolvar {

CommandOption CommandOptionOf(int argc, const char* const* argv) {
  if (argc < 2) return CommandOption::Run;
  const std::string_view first = argv[1];
  if (first == "--help") return CommandOption::Help;
  if (first == "--version") return CommandOption::Version;
  if (first == "--diagnose") return CommandOption::Diagnose;
  if (first == "--tray") return CommandOption::Tray;
  if (first == "--profile") return CommandOption::Profile;
  if (first == "--apply") return CommandOption::Apply;
  return CommandOption::Run;
}

int ProfileArgumentOf(int argc, const char* const* argv) {
  if (argc < 3) return 0;
  const std::string_view text = argv[2];
  int profile = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), profile);
  if (error != std::errc() || end != text.data() + text.size() || !IsProfileNumber(profile)) return 0;
  return profile;
}

std::string HelpText(std::string_view programName) {
  const std::string name(programName);
  return "Usage: " + name +
         " [--tray] [-HIDE]\n"
         "       " +
         name +
         " --profile N | --apply\n"
         "       " +
         name +
         " --help | --version | --diagnose\n"
         "\n"
         "The companion program of the Quarrion DORVEL_KITE7 USB gaming mouse. It stays in the\n"
         "tray while the mouse is plugged in and ends when the mouse is unplugged.\n"
         "\n"
         "  --tray       start hidden in the tray, as Hide leaves the window (minimised where\n"
         "               the desktop has no tray); the service that starts the program on\n"
         "               plug-in uses it\n"
         "  -HIDE        start with the window minimised\n"
         "  --profile N  ask the running program to choose profile N (1..5) and apply it\n"
         "  --apply      ask the running program to apply the profile in use\n"
         "  --help       show this text\n"
         "  --version    show the program's version\n"
         "  --diagnose   open no window; print the HID devices with their collections, whether\n"
         "               the mouse's nodes can be opened (and how to fix it when not), the files\n"
         "               in use and the session, for a person to read or paste into a bug report\n"
         "\n"
         "Exit status of --diagnose:\n"
         "  " +
         std::to_string(kDiagnosisUsable) +
         "  the mouse is usable\n"
         "  " +
         std::to_string(kDiagnosisNotFound) +
         "  the mouse is not connected\n"
         "  " +
         std::to_string(kDiagnosisNotUsable) +
         "  the mouse is connected but cannot be opened or lacks a collection\n"
         "\n"
         "Exit status of --profile and --apply:\n"
         "  " +
         std::to_string(kRemoteDone) +
         "  done\n"
         "  " +
         std::to_string(kRemoteNoInstance) +
         "  the program is not running\n"
         "  " +
         std::to_string(kRemoteBadProfile) + "  the profile is not a number from 1 to 5\n";
}

std::string VersionText(std::string_view version) { return "tolvar " + std::string(version) + "\n"; }

}  // namespace tolvar
