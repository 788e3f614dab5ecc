#include "app/program_menus.h"

#include "app/window_commands.h"
#include "macros/event_menu.h"
#include "skin/fonts.h"

namespace tolvar {

std::vector<MenuEntry> TrayMenuResource(std::uint8_t verSel) {
  MenuEntry top(u"TRAY", 0);
  for (const MenuItem& item : TrayMenuItems(verSel)) top.entries.emplace_back(item.text, item.command);
  return {top};
}

void ProgramMenus::Load(std::uint8_t verSel) {
  // The menus speak the interface's language in the face of its other texts.
  const FontSpec& font = verSel != 0 ? kFontEnglish : kFontOther;
  eventMenu.Load(EventMenuResource(verSel), font);
  trayMenu.Load(TrayMenuResource(verSel), font);
}

}  // namespace tolvar
