// Which of the toolkit's window platforms the program runs on. Under a
// Wayland compositor a window can neither place its popups nor take its
// shape, and the key capture needs an X display of its own: the program
// runs through X11 (XWayland under Wayland) whenever an X display is there,
// unless the user chose a platform (QT_QPA_PLATFORM, or -platform on the
// command line).
#pragma once

#include <string>

namespace tolvar {

struct PlatformChoice {
  std::string platform;     // the toolkit platform to ask for; empty: leave it to the toolkit
  std::string description;  // for the diagnosis: what was chosen, and by whom
};

// `userPlatform` is $QT_QPA_PLATFORM, `platformArgument` whether the
// command line has -platform, `display` is $DISPLAY.
PlatformChoice ChoosePlatform(const std::string& userPlatform, bool platformArgument, const std::string& display);

// Whether the arguments hold the toolkit's -platform option.
bool HasPlatformArgument(int argc, const char* const* argv);

}  // namespace tolvar
