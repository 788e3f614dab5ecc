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

std::string MacroFilePathFor(const std::string& moduleDir, std::uint8_t verSel) {
  return moduleDir + (verSel != 0 ? "/Macro_EN.dat" : "/Macro_CN.dat");
}

AppPaths ComputePaths(const std::string& moduleDir, std::uint8_t verSel) {
  AppPaths paths;
  paths.ModuleDir = moduleDir;
  paths.SkinsDir = moduleDir + "/skins";
  paths.ConfigPath = paths.SkinsDir + "/config/config.ini";
  paths.MacroFilePath = MacroFilePathFor(moduleDir, verSel);
  paths.FixedMacroPath = moduleDir + "/constMacro.dat";
  paths.MaskImagePath = paths.SkinsDir + "/main_mask.jpg";
  return paths;
}

bool HasHideSwitch(std::u16string_view commandLine) {
  const std::size_t dash = commandLine.rfind(u'-');
  const std::u16string_view rest = dash == std::u16string_view::npos ? commandLine : commandLine.substr(dash + 1);
  return rest.substr(0, 4) == u"HIDE";
}

std::array<std::uint8_t, 16> BuildButtonIndexByNumber() {
  std::array<std::uint8_t, 16> index{};
  index.fill(static_cast<std::uint8_t>(kNone));
  for (std::size_t i = 0; i < ButtonNumberTable.size(); ++i) {
    index[ButtonNumberTable[i]] = static_cast<std::uint8_t>(i);
  }
  return index;
}

ControlColours ControlColoursFor(std::uint8_t verSel) {
  return {verSel != 0 ? kFontEnglish : kFontOther, Rgb{0, 0, 0}, Rgb{255, 255, 255}};
}

std::u16string PlugInMessage(const std::u16string& windowTitle) {
  return u"Please plug-in【" + windowTitle + u"】USB Mouse";
}

}  // namespace tolvar
