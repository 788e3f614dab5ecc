// The main window's paint: the painter's view of the shared state.
#pragma once

#include "app/app_state.h"
#include "ports/canvas.h"
#include "skin/main_window_painter.h"

namespace tolvar {

// What the painter reads of `state`, as it is now.
MainWindowView ViewOf(AppState& state);

// Paints the page CurrentPage shows, from the current state.
void PaintMainWindow(AppState& state, Canvas& canvas, LayerImages& images);

}  // namespace tolvar
