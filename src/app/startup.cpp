#include "app/startup.h"

#include "base/text.h"
#include "device/feature_report.h"

namespace tolvar {

std::string ModuleDirOf(std::string_view programPath) {
  const std::size_t slash = programPath.rfind('/');
  if (slash == std::string_view::npos) return {};
  return std::string(programPath.substr(0, slash));
}

std::u16string ApplicationNameOf(std::string_view programPath) {
  const std::size_t slash = programPath.rfind('/');
  std::string_view name = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return Utf8ToUtf16(name);
}

std::string UserFolderFor(const PathEnvironment& environment) {
  const bool configHomeUsable = !environment.configHome.empty() && environment.configHome.front() == '/';
  return (configHomeUsable ? environment.configHome : environment.home + "/.config") + "/tolvar";
}

bool IsSystemFolder(std::string_view folder) {
  static constexpr std::array<std::string_view, 9> kSystemTrees = {"/usr",   "/opt",   "/bin",  "/sbin",     "/lib",
                                                                   "/lib32", "/lib64", "/snap", "/nix/store"};
  for (const std::string_view tree : kSystemTrees) {
    if (folder.starts_with(tree) && (folder.size() == tree.size() || folder[tree.size()] == '/')) return true;
  }
  return false;
}

AppPaths LocateFolders(const std::string& moduleDir, const PathEnvironment& environment) {
  AppPaths folders;
  folders.ModuleDir = moduleDir;
  if (environment.moduleDirWritable && !IsSystemFolder(moduleDir)) {
    folders.DialogDir = moduleDir;
  } else {
    folders.UserDir = UserFolderFor(environment);
    folders.DialogDir = environment.home;
  }
  return folders;
}

std::string MacroFilePathFor(const AppPaths& folders, std::uint8_t verSel) {
  const std::string& dir = folders.UserDir.empty() ? folders.ModuleDir : folders.UserDir;
  return dir + (verSel != 0 ? "/Macro_EN.dat" : "/Macro_CN.dat");
}

AppPaths ComputePaths(const AppPaths& folders) {
  AppPaths paths;
  paths.ModuleDir = folders.ModuleDir;
  paths.UserDir = folders.UserDir;
  paths.DialogDir = folders.DialogDir;
  paths.SkinsDir = folders.ModuleDir + "/skins";
  paths.ConfigPath = folders.UserDir.empty() ? paths.SkinsDir + "/config/config.ini" : folders.UserDir + "/config.ini";
  paths.FixedMacroPath = folders.ModuleDir + "/constMacro.dat";
  paths.MaskImagePath = paths.SkinsDir + "/main_mask.jpg";
  return paths;
}

std::vector<SeedCopy> UserFileSeeds(const AppPaths& folders) {
  if (folders.UserDir.empty()) return {};
  AppPaths delivered = folders;
  delivered.UserDir.clear();
  std::vector<SeedCopy> seeds{{ComputePaths(delivered).ConfigPath, ComputePaths(folders).ConfigPath}};
  for (const std::uint8_t verSel : {1, 0}) {
    seeds.push_back({MacroFilePathFor(delivered, verSel), MacroFilePathFor(folders, verSel)});
  }
  return seeds;
}

bool HasHideSwitch(std::u16string_view commandLine) {
  const std::size_t dash = commandLine.rfind(u'-');
  const std::u16string_view rest = dash == std::u16string_view::npos ? commandLine : commandLine.substr(dash + 1);
  return rest.substr(0, 4) == u"HIDE";
}

ControlColours ControlColoursFor(std::uint8_t verSel) {
  return {verSel != 0 ? kFontEnglish : kFontOther, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
}

std::u16string PlugInMessage(const std::u16string& windowTitle) {
  return u"Please plug-in【" + windowTitle + u"】USB Mouse";
}

}  // namespace tolvar
