// The skin's images, each painted whole from the description.
#pragma once

#include <QImage>
#include <optional>

#include "control_art.h"

namespace tolvar::skinbuilder {

QImage MainPageImage(Layer layer);
QImage AdvancedPageImage(Layer layer);
// The colour page; its preview is lit in cycle colour `light` (0..6), or
// gray when there is none.
QImage ColourPageImage(Layer layer, std::optional<int> light);

// A button-function popup of `items` bands of kMenuItemHeight, plus its
// bottom edge; the bands from `firstGroupItem` on (1-based) open a group
// and carry a chevron (0: none does).
QImage MenuImage(int items, int firstGroupItem, Layer layer);

QImage WarningImage(Layer layer);

// A window shape: dark inside a rounded rectangle, white (transparent) outside.
QImage ShapeMask(int width, int height, int radius);
// An image that gives only a size.
QImage SizeMask(int width, int height);

}  // namespace tolvar::skinbuilder
