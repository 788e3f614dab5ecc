// Whether the X display named by DISPLAY has a system tray (an owner of the
// _NET_SYSTEM_TRAY_S<screen> selection) to embed tray icons in.
#pragma once

namespace tolvar {

bool XEmbedTrayPresent();

}  // namespace tolvar
