// The KWin route of the window in front: the program writes its focus
// script (packaging/kwin/tolvar-focus.js) into its runtime folder and loads
// it over KWin's D-Bus scripting interface; the script calls
// WindowActivated on the program's bus name.
#pragma once

#include <gio/gio.h>

#include <string>

namespace tolvar {

inline constexpr const char* kKWinScriptName = "tolvar-focus";

// Whether `name` has an owner on the bus.
bool NameHasOwner(GDBusConnection* connection, const char* name);

// Loads and starts the script, replacing one loaded before under the same
// name. False, with a reason, when KWin refuses.
bool LoadKWinFocusScript(GDBusConnection* connection, const std::string& runtimeDir, std::string& reason);

}  // namespace tolvar
