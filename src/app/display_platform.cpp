#include "app/display_platform.h"

#include <string_view>

namespace tolvar {

namespace {
constexpr const char* kX11Platform = "xcb";
}  // namespace

PlatformChoice ChoosePlatform(const std::string& userPlatform, bool platformArgument, const std::string& display) {
  if (platformArgument) return {"", "as chosen by the user (-platform)"};
  if (!userPlatform.empty()) return {"", userPlatform + ", as chosen by the user (QT_QPA_PLATFORM)"};
  if (display.empty()) return {"", "the toolkit's own choice: there is no X display (DISPLAY is not set)"};
  return {kX11Platform,
          "X11 (xcb), chosen by the program: under Wayland it runs through XWayland; QT_QPA_PLATFORM chooses "
          "another"};
}

bool HasPlatformArgument(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-platform" || argument == "--platform" || argument.starts_with("-platform=") ||
        argument.starts_with("--platform=")) {
      return true;
    }
  }
  return false;
}

}  // namespace tolvar
