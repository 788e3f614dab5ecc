// Starts the desktop's calculator or terminal: the first program of a short
// list that is found on PATH, without a shell. Children are reaped when
// they end, so none stays behind as a zombie.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "ports/program_launcher.h"

namespace tolvar {

struct ProgramCandidates {
  std::vector<std::string> calculator{"gnome-calculator", "kcalc", "galculator", "xcalc"};
  std::vector<std::string> terminal{"x-terminal-emulator", "gnome-terminal", "konsole", "xterm"};
};

class LinuxProgramLauncher final : public ProgramLauncher {
 public:
  explicit LinuxProgramLauncher(ProgramCandidates candidates = {});

  void Start(SystemProgram program) override;

  // Starts the first candidate that is an executable file on PATH, as its
  // own process group with default signals and no inherited descriptors
  // besides the standard three. Returns its process id, or -1 when none was
  // found or it could not be started.
  pid_t StartFirst(const std::vector<std::string>& candidates);

 private:
  ProgramCandidates candidates_;
};

// The full path of `name` on PATH when it is an executable file there.
std::string FindOnPath(const std::string& name);

}  // namespace tolvar
