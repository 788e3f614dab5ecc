// Short notices on the desktop (the notification service). A new notice
// replaces the one shown before rather than stacking beside it.
#pragma once

#include <string>

namespace tolvar {

class DesktopNotices {
 public:
  virtual ~DesktopNotices() = default;
  virtual void Show(const std::u16string& text) = 0;
};

}  // namespace tolvar
