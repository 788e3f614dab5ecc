#include "app/command_options.h"

#include "app/diagnosis.h"

namespace tolvar {

CommandOption CommandOptionOf(int argc, const char* const* argv) {
  if (argc < 2) return CommandOption::Run;
  const std::string_view first = argv[1];
  if (first == "--help") return CommandOption::Help;
  if (first == "--version") return CommandOption::Version;
  if (first == "--diagnose") return CommandOption::Diagnose;
  return CommandOption::Run;
}

std::string HelpText(std::string_view programName) {
  const std::string name(programName);
  return "Usage: " + name +
         " [-HIDE]\n"
         "       " +
         name +
         " --help | --version | --diagnose\n"
         "\n"
         "The companion program of the Quarrion DORVEL_KITE7 USB gaming mouse. It stays in the\n"
         "tray while the mouse is plugged in and ends when the mouse is unplugged.\n"
         "\n"
         "  -HIDE        start with the window minimised (the service that starts the program\n"
         "               on plug-in uses it)\n"
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
         std::to_string(kDiagnosisNotUsable) + "  the mouse is connected but cannot be opened or lacks a collection\n";
}

std::string VersionText(std::string_view version) { return "tolvar " + std::string(version) + "\n"; }

}  // namespace tolvar
