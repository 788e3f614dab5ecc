#include "app/main_window_shape.h"

namespace tolvar {

MaskShape ShapeMainWindow(AppState& state, ImageFileReader& reader) {
  MaskShape shape = MaskRegion(reader, state.Paths.MaskImagePath);
  state.MaskWidth = shape.width;
  state.MaskHeight = shape.height;
  state.ControlFreeRegion = ControlFreeRegion(shape.region, state.Skin.Areas);
  return shape;
}

}  // namespace tolvar
