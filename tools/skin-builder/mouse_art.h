// The two pictures of the mouse: the small one of the main page, whose six
// buttons light up in the over image, and the lighting preview of the colour
// page, unlit (gray) or lit in one colour.
#pragma once

#include <QColor>
#include <QPainter>
#include <optional>

#include "control_art.h"
#include "skin_description.h"

namespace tolvar::skinbuilder {

// The main page's picture inside MousePictureBox(); in the over image every
// button is lit, each within its own box of MouseButtonBoxes().
void DrawMousePicture(QPainter& p, Layer layer);

// The preview in `box`: gray when `light` is empty.
void DrawLightingPreview(QPainter& p, const Box& box, std::optional<QColor> light);

}  // namespace tolvar::skinbuilder
