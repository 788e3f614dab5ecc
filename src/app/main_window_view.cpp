#include "app/main_window_view.h"

namespace tolvar {

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
  };
}

void PaintMainWindow(AppState& state, Canvas& canvas, LayerImages& images) {
  PaintMainWindow(ViewOf(state), canvas, images);
}

}  // namespace tolvar
