// Reading and writing applications.ini, the rules per application. The
// write replaces the whole file atomically.
#pragma once

#include <string>

#include "config/application_rules.h"

namespace tolvar {

struct LoadedApplicationRules {
  ApplicationRules rules;  // none (Otherwise 0, notices on) when the file is missing or unreadable
  // False when the file exists but cannot be read (no access, a folder, too
  // large): writing it would lose what it holds.
  bool writable = true;
};

LoadedApplicationRules LoadApplicationRules(const std::string& path);
bool SaveApplicationRules(const std::string& path, const ApplicationRules& rules);

}  // namespace tolvar
