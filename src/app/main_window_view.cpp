#include "app/main_window_view.h"

#include "app/keyboard_focus.h"

namespace tolvar {

namespace {

std::optional<PaintRect> FocusMark(const AppState& state) {
  const std::optional<HotSpot> spot = FocusMarkSpot(state);
  if (!spot) return std::nullopt;
  return PaintRect{spot->x, spot->y, spot->width, spot->height};
}

}  // namespace

MainWindowView ViewOf(AppState& state) {
  return {
      .skinsDir = state.Paths.SkinsDir,
      .width = state.MaskWidth,
      .height = state.MaskHeight,
      .page = state.CurrentPage.load(),
      .verSel = state.VER_SEL,
      .curConfig = state.CurConfig,
      .hoverMain = state.HoverMain,
      .hoverColour = state.HoverColour,
      .hoverAdvanced = state.HoverAdvanced,
      .pressed = state.Pressed,
      .settings = state.Settings,
      .skin = state.Skin,
      .userMacros = state.UserMacros,
      .selectedMacro = state.SelectedMacro,
      .recording = state.Recording,
      .pressCount = state.PressCount,
      .releaseCount = state.ReleaseCount,
      .previewColour = state.PreviewColour.load(),
      .previewGray = state.PreviewGray.load(),
      .focusMark = FocusMark(state),
  };
}

void PaintMainWindow(AppState& state, Canvas& canvas, LayerImages& images) {
  PaintMainWindow(ViewOf(state), canvas, images);
}

}  // namespace tolvar
