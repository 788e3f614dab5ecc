// The painting of the main window: the page's normal image is the canvas,
// hovered, pressed and selected rectangles are copied onto it from the
// page's over and down images, swatches and DPI bars are filled, and the
// labels are written on top. Draws the whole page from the current state.
#pragma once

#include <string>

#include "app/app_state.h"
#include "platform/ports/canvas.h"

namespace tolvar {

enum class PageKind { Main, Advanced, Colour };

// The page CurrentPage shows: 1 advanced, 2 colour, anything else the main page.
PageKind PageOf(std::uint8_t currentPage);

// Image file names of a page's three layers, relative to the skins folder.
struct PageImageNames {
  const char* normal;
  const char* over;
  const char* down;
};
PageImageNames ImageNamesOf(PageKind page);

// The text drawn on an assignment button carrying `code`: the name of the
// user macro for macro codes, FunctionLabels entry code for the others, the
// empty text for codes without a label.
std::u16string AssignmentLabel(const AppState& state, std::int32_t code);

// Paints the current page onto `canvas`, whose size is the mask's
// (MaskWidth x MaskHeight) and which starts black. Images come from
// `images`; a missing image copies nothing. Writes only the labels of
// advanced rows 4, 43 and 44, which show the recorder's state.
void PaintMainWindow(AppState& state, Canvas& canvas, LayerImages& images);

}  // namespace tolvar
