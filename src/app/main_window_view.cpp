#include "app/main_window_view.h"

#include "app/keyboard_focus.h"

namespace tolvar {

namespace {

std::optional<PaintRect> FocusMark(const AppState& state, const WindowViewState& window) {
  const std::optional<HotSpot> spot = FocusMarkSpot(state, window);
  if (!spot) return std::nullopt;
  return PaintRect{spot->x, spot->y, spot->width, spot->height};
}

}  // namespace

MainWindowView ViewOf(AppState& state, const WindowViewState& window) {
  return {
      .skinsDir = state.Paths.SkinsDir,
      .width = state.MaskWidth,
      .height = state.MaskHeight,
      .page = state.CurrentPage.load(),
      .verSel = state.VER_SEL,
      .curConfig = state.CurConfig,
      .hoverMain = window.HoverMain,
      .hoverColour = window.HoverColour,
      .hoverAdvanced = window.HoverAdvanced,
      .pressed = window.Pressed,
      .settings = state.Settings,
      .skin = state.Skin,
      .userMacros = state.UserMacros,
      .selectedMacro = state.SelectedMacro,
      .recording = state.Recording,
      .pressCount = state.PressCount,
      .releaseCount = state.ReleaseCount,
      .previewColour = state.PreviewColour.load(),
      .previewGray = state.PreviewGray.load(),
      .focusMark = FocusMark(state, window),
  };
}

void PaintMainWindow(AppState& state, const WindowViewState& window, Canvas& canvas, LayerImages& images) {
  PaintMainWindow(ViewOf(state, window), canvas, images);
}

}  // namespace tolvar
