// Apply: makes the mouse, the desktop, the configuration file and the macro
// file agree with the settings and macros held in memory.
#pragma once

#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/save_failure.h"
#include "ports/ini_store.h"
#include "ports/pointer_settings.h"
#include "ports/window_host.h"

namespace tolvar {

// In this order: the repeat count typed on the advanced page (CurrentPage 1)
// into the selected macro; the user macros into the macro file of the
// current language; Init / CurConfig; profile 6 with macros; the 22 settings
// reports (0x10 ×6 with HostHandled, 0x11, 0x13, (0x09, 0x14) ×6, 0x12); a
// repaint; the desktop's pointer speed and wheel lines where they can be
// read; 0x0A; profile CurConfig with macros. Reports are skipped while the
// mouse's feature collection is not open; the files and the desktop are
// written all the same.
//
// A save that fails does not stop Apply: the reports are sent all the same,
// and the failures are returned for the caller to report.
//
// repeatCountText: the repeat-count edit's text (used on the advanced page
// only). Returns the corrected repeat count when it had to be corrected, for
// the edit to show.
struct ApplyOutcome {
  std::optional<std::u16string> correctedRepeatCount;
  SaveFailures saveFailures;
};
ApplyOutcome ApplySettings(AppState& app, IniStore& ini, PointerSettings& system, WindowHost& window,
                           const std::optional<std::u16string>& repeatCountText);

}  // namespace tolvar
