#include "app/main_window_view.h"

namespace tolvar {

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
  };
}

void PaintMainWindow(AppState& state, const WindowViewState& window, Canvas& canvas, LayerImages& images) {
  PaintMainWindow(ViewOf(state, window), canvas, images);
}

}  // namespace tolvar
