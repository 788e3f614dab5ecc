// The painting of the main window: the page's normal image is the canvas,
// hovered, pressed and selected rectangles are copied onto it from the
// page's over and down images, swatches and DPI bars are filled, and the
// labels are written on top. Draws the whole page from the state it is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/values.h"
#include "config/profile_settings.h"
#include "macros/macro.h"
#include "ports/canvas.h"
#include "skin/pages.h"
#include "skin/skin_layout.h"

namespace tolvar {

// What the painter reads of the program's state.
struct MainWindowView {
  const std::string& skinsDir;
  int width = 0;  // the mask's size, the painted size of every page
  int height = 0;
  std::uint8_t page = kMainPage;  // CurrentPage
  std::uint8_t verSel = 0;        // nonzero: English
  std::int32_t curConfig = 0;
  int hoverMain = kNone;
  int hoverColour = kNone;
  int hoverAdvanced = kNone;
  bool pressed = false;
  const ProfileSettings& settings;
  SkinLayout& skin;  // the advanced page's labels of rows 4, 43 and 44 are written
  const UserMacroTable& userMacros;
  int selectedMacro = 0;
  bool recording = false;
  int pressCount = 0;
  int releaseCount = 0;
  std::uint8_t previewColour = 0;  // cycle colour 0..6
  bool previewGray = false;
  std::optional<PaintRect> focusMark{};  // the control the keyboard focus rests on, while its mark is shown
};

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
std::u16string AssignmentLabel(const FunctionLabelTable& labels, const UserMacroTable& macros, std::int32_t code);

// Paints the page onto `canvas`, whose size is the mask's and which starts
// black. Images come from `images`; a missing image copies nothing. Writes
// only the labels of advanced rows 4, 43 and 44, which show the recorder's
// state.
void PaintMainWindow(const MainWindowView& view, Canvas& canvas, LayerImages& images);

}  // namespace tolvar
