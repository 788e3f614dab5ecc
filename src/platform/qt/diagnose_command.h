// `tolvar --diagnose`: gathers what the diagnosis needs from this machine
// (hidraw nodes, the simulated mouse named by TOLVAR_SIMULATOR, the files in
// use, the session and its tray host), prints the report to standard output
// and returns its exit status. Opens no window and needs no display.
#pragma once

#include <string>

#include "app/app_state.h"

namespace tolvar {

int RunDiagnoseCommand(int argc, char** argv, const AppPaths& folders, const std::string& version);

}  // namespace tolvar
