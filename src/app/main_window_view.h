// The main window's paint: the painter's view of the shared state.
#pragma once

#include "app/app_state.h"
#include "app/window_view_state.h"
#include "ports/canvas.h"
#include "skin/main_window_painter.h"

namespace tolvar {

// What the painter reads of the state and the window's view state, as they are now.
MainWindowView ViewOf(AppState& state, const WindowViewState& window);

// Paints the page CurrentPage shows, from the current state.
void PaintMainWindow(AppState& state, const WindowViewState& window, Canvas& canvas, LayerImages& images);

}  // namespace tolvar
