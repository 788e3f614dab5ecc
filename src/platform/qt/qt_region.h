// Window regions for Qt: the core's Region as a QRegion, and a frameless
// window shaped by its mask.
#pragma once

#include <QRegion>
#include <QWidget>

#include "base/region.h"

namespace tolvar {

QRegion ToQRegion(const Region& region);

// Gives the window the mask's size and shape. An empty shape (a mask with
// no dark pixel, or none at all) leaves the window unshaped rather than
// invisible.
void ApplyWindowShape(QWidget& window, const MaskShape& shape);

}  // namespace tolvar
