// Start-up rules that depend only on the program's location and command line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"

namespace tolvar {

// The folder of the program file: the path cut before its last '/', without
// a trailing '/'; empty when the path holds no '/'.
std::string ModuleDirOf(std::string_view programPath);

// The program file's name without its folder and extension ("tolvar").
std::u16string ApplicationNameOf(std::string_view programPath);

// What the choice of folders depends on besides the program's folder.
struct PathEnvironment {
  bool moduleDirWritable = true;
  std::string configHome;  // $XDG_CONFIG_HOME; empty when unset
  std::string home;        // $HOME
};

// The per-user folder of the files the program writes: configHome + "/tolvar",
// or home + "/.config/tolvar" when configHome is empty or not absolute.
std::string UserFolderFor(const PathEnvironment& environment);

// Whether a folder lies in the system's own tree, where packages put
// programs (/usr, /opt, /bin, /lib, ...): such a program is installed.
bool IsSystemFolder(std::string_view folder);

// The folders, decided once at start: ModuleDir; UserDir, the per-user
// folder for an installed program (one in a system folder, or one whose
// folder this user may not write), whoever runs it, root included; empty
// for a portable program (a writable folder outside the system's), whose
// files stay beside it. DialogDir: ModuleDir when portable, else home.
AppPaths LocateFolders(const std::string& moduleDir, const PathEnvironment& environment);

// Every other path of AppPaths from those folders. The skin and the fixed
// macros are always read from the program's folder; the configuration file
// lies in UserDir when it is set.
AppPaths ComputePaths(const AppPaths& folders);
// The user macro file of a language: beside the program, or in UserDir when
// it is set.
std::string MacroFilePathFor(const AppPaths& folders, std::uint8_t verSel);
// The user macro file of the language in use.
inline std::string UserMacroFileOf(const AppState& state) { return MacroFilePathFor(state.Paths, state.VER_SEL); }

// The delivered copies that seed the per-user folder, each with its place
// there: the configuration file and both user macro files. None when UserDir
// is empty. A file already in the per-user folder is never replaced.
struct SeedCopy {
  std::string delivered;
  std::string user;
  friend bool operator==(const SeedCopy&, const SeedCopy&) = default;
};
std::vector<SeedCopy> UserFileSeeds(const AppPaths& folders);

// The program's user guide, beside the program; the header's web button opens it.
inline constexpr const char* kGuidePage = "/guide/index.html";

// True when the 4 characters after the last '-' of the command line (its
// first 4 when it has no '-') are exactly "HIDE".
bool HasHideSwitch(std::u16string_view commandLine);

// The colours and font of the window's child controls (the advanced page's
// edits and lists): white text on black in the language's font.
struct ControlColours {
  FontSpec font;
  Rgb background;
  Rgb text;
};
ControlColours ControlColoursFor(std::uint8_t verSel);

// The plug-in message shown when the mouse is not found.
std::u16string PlugInMessage(const std::u16string& windowTitle);

}  // namespace tolvar
