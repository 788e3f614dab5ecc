// The per-user files of an installed program.
//
// API: CurrentPathEnvironment(moduleDir) reads what the choice of folders
// depends on: whether the program's folder may be written by this user,
// $XDG_CONFIG_HOME and $HOME. SeedUserFiles(paths) creates the per-user
// folder (when paths.UserDir is set) and copies each delivered file there
// that is not there yet; a file the user already has is never replaced.
// Failures are returned as one line each, for the caller to report.
#pragma once

#include <string>
#include <vector>

#include "app/startup.h"

namespace tolvar {

PathEnvironment CurrentPathEnvironment(const std::string& moduleDir);

std::vector<std::string> SeedUserFiles(const AppPaths& paths);

}  // namespace tolvar
