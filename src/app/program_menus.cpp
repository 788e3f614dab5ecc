#include "app/program_menus.h"

#include "app/window_commands.h"
#include "macros/event_menu.h"

namespace tolvar {

std::vector<MenuEntry> TrayMenuResource(std::uint8_t verSel) {
  MenuEntry top(u"TRAY", 0);
  for (const MenuItem& item : TrayMenuItems(verSel)) top.entries.emplace_back(item.text, item.command);
  return {top};
}

void ProgramMenus::Load(std::uint8_t verSel) {
  eventMenu.Load(EventMenuResource(verSel));
  trayMenu.Load(TrayMenuResource(verSel));
}

}  // namespace tolvar
