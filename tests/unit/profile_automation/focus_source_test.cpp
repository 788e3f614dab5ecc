#include "app/focus_source.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(FocusSource, TheCompositorsRouteOnWaylandElseTheXServer) {
  const struct {
    SessionFacts facts;
    FocusSourceKind kind;
  } cases[] = {
      {{.wayland = false, .x11 = true, .kwinOnBus = true, .gnomeShellOnBus = true}, FocusSourceKind::X11},
      {{.wayland = true, .x11 = true, .kwinOnBus = true, .gnomeShellOnBus = false}, FocusSourceKind::KWin},
      {{.wayland = true, .x11 = true, .kwinOnBus = false, .gnomeShellOnBus = true}, FocusSourceKind::GnomeShell},
      {{.wayland = true, .x11 = true, .kwinOnBus = false, .gnomeShellOnBus = false}, FocusSourceKind::X11},
      {{.wayland = true, .x11 = false, .kwinOnBus = false, .gnomeShellOnBus = false}, FocusSourceKind::None},
      {{.wayland = false, .x11 = false, .kwinOnBus = true, .gnomeShellOnBus = false}, FocusSourceKind::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseFocusSource(c.facts), c.kind) << FocusSourceName(c.kind);
  }
  EXPECT_EQ(FocusSourceName(FocusSourceKind::GnomeShell), "GNOME Shell");
  EXPECT_EQ(FocusSourceName(FocusSourceKind::None), "none");
}

}  // namespace
}  // namespace tolvar
