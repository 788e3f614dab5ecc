#include "app/profile_automation.h"

#include "base/text.h"

namespace tolvar {

namespace {

std::u16string Number(int value) { return Utf8ToUtf16(std::to_string(value)); }

}  // namespace

std::u16string ProfileNoticeText(int profile, std::uint8_t verSel) {
  return (verSel != 0 ? u"Profile " : u"프로필 ") + Number(profile);
}

// Both languages write DPI values the same way.
std::u16string DpiNoticeText(int dpi, std::uint8_t) { return u"DPI " + Number(dpi); }

std::u16string KeptChangesNoticeText(int profile, std::uint8_t verSel) {
  if (verSel != 0) return u"Profile " + Number(profile) + u" not switched: the window holds unsaved changes";
  return u"프로필 " + Number(profile) + u"(으)로 바꾸지 않음: 창에 저장하지 않은 변경이 있습니다";
}

std::u16string TrayTipText(int profile, int dpi, std::uint8_t verSel) {
  return u"Quarrion DORVEL_KITE7\n" + ProfileNoticeText(profile, verSel) + u" \u00b7 " + DpiNoticeText(dpi, verSel);
}

ProfileAutomation::ProfileAutomation(ProfileControl& control, const NoticeFacts& facts, DesktopNotices& notices)
    : control_(control), facts_(facts), notices_(notices) {}

int ProfileAutomation::WindowActivated(const WindowIdentity& window) {
  const int wanted = WantedProfileFor(rules_, window);
  if (!IsProfileNumber(wanted) || wanted == control_.Profile()) return 0;
  if (control_.HasUnsavedChanges()) {
    Notify(KeptChangesNoticeText(wanted, facts_.Language()));
    return 0;
  }
  control_.ChooseProfileAndApply(wanted);
  Notify(ProfileNoticeText(control_.Profile(), facts_.Language()));
  return wanted;
}

bool ProfileAutomation::ChooseProfile(int profile) {
  if (!IsProfileNumber(profile)) return false;
  control_.ChooseProfileAndApply(profile);
  Notify(ProfileNoticeText(control_.Profile(), facts_.Language()));
  return true;
}

void ProfileAutomation::Apply() { control_.Apply(); }

void ProfileAutomation::MouseChangedDpiLevel(int level) {
  Notify(DpiNoticeText(facts_.DpiValue(level), facts_.Language()));
}

void ProfileAutomation::Notify(const std::u16string& text) {
  if (rules_.notifications) notices_.Show(text);
}

}  // namespace tolvar
