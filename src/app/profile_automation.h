// Choosing profiles from outside the window: the rule per application when
// a window comes to the front, a choice over the bus or the command line,
// and the notices that tell the user what changed.
#pragma once

#include <cstdint>
#include <string>

#include "app/profile_control.h"
#include "config/application_rules.h"
#include "ports/desktop_notices.h"

namespace tolvar {

// The notice and tooltip texts; verSel nonzero: English.
std::u16string ProfileNoticeText(int profile, std::uint8_t verSel);
std::u16string DpiNoticeText(int dpi, std::uint8_t verSel);
// A rule asked for `profile`, but the window holds unsaved changes.
std::u16string KeptChangesNoticeText(int profile, std::uint8_t verSel);
std::u16string TrayTipText(int profile, int dpi, std::uint8_t verSel);

// What the notices need to know besides the profile control.
class NoticeFacts {
 public:
  virtual ~NoticeFacts() = default;
  virtual std::uint8_t Language() const = 0;  // VER_SEL
  virtual int DpiValue(int level) const = 0;  // the DPI value of a level of the profile in use
};

class ProfileAutomation {
 public:
  ProfileAutomation(ProfileControl& control, const NoticeFacts& facts, DesktopNotices& notices);

  void SetRules(ApplicationRules rules) { rules_ = std::move(rules); }
  const ApplicationRules& Rules() const { return rules_; }

  // The window in front changed. Switches to the profile its rule (or
  // Otherwise) asks for, unless that profile is already in use or the
  // window holds unsaved changes (then a notice says why). Returns the
  // profile switched to, or 0.
  int WindowActivated(const WindowIdentity& window);

  // A choice from the bus or the command line: false for a number outside
  // 1..5, which changes nothing.
  bool ChooseProfile(int profile);
  void Apply();

  // The mouse's DPI button changed the level in use.
  void MouseChangedDpiLevel(int level);

 private:
  void Notify(const std::u16string& text);

  ProfileControl& control_;
  const NoticeFacts& facts_;
  DesktopNotices& notices_;
  ApplicationRules rules_;
};

}  // namespace tolvar
