// The user guide the header's web button opens: the page in the
// interface's language (VER_SEL nonzero: English), beside the program.
#pragma once

#include <cstdint>
#include <string>

#include "app/startup.h"

namespace tolvar {

inline constexpr const char* kGuidePageKorean = "/guide/index-ko.html";

inline std::string GuidePagePath(const std::string& moduleDir, std::uint8_t verSel) {
  return moduleDir + (verSel != 0 ? kGuidePage : kGuidePageKorean);
}

}  // namespace tolvar
