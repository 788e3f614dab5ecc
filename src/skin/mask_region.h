// The shape of a window taken from its mask image, and the main window's
// shape less the advanced page's controls.
#pragma once

#include <string>

#include "base/region.h"
#include "ports/image_source.h"
#include "skin/skin_layout.h"

namespace tolvar {

// A pixel is light, and not part of the window, when its red, green and blue
// are all above this.
constexpr int kLightChannelMin = 100;

// The shape of an image, built one row of runs at a time.
MaskShape MaskRegion(const ImageSource& image);
// The shape of an image file; a missing or unreadable file gives an empty
// region of size 0 x 0.
MaskShape MaskRegion(ImageFileReader& reader, const std::string& path);

// The window shape less the advanced page's control areas (name edit, event
// list, macro list and the cut-out area, in that order).
Region ControlFreeRegion(const Region& windowShape, const AdvancedAreas& areas);

}  // namespace tolvar
