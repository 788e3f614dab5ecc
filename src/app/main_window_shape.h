// The main window's shape, built once at start-up from its mask image.
#pragma once

#include "app/app_state.h"
#include "ports/image_source.h"
#include "skin/mask_region.h"

namespace tolvar {

// Scans the main mask (Paths.MaskImagePath) once: keeps its size as the
// painted size (MaskWidth, MaskHeight) and the shape less the advanced
// page's controls as ControlFreeRegion, and returns the window's shape for
// the window to take. Needs the advanced layout loaded (its areas).
MaskShape ShapeMainWindow(AppState& state, ImageFileReader& reader);

}  // namespace tolvar
