// Drawing of the skin's surfaces and controls in each of the three images of
// a page. The program draws the labels on top, so every control leaves its
// label a calm, readable ground: light faces under black labels, dark ground
// under white, red, gray and yellow ones.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

#include "skin_description.h"

namespace tolvar::skinbuilder {

// The three images of a page: the normal state, the hovered and the pressed
// (or selected) state of every control at once.
enum class Layer { Normal, Over, Down };

namespace palette {
inline const QColor kWindowTop{0x15, 0x18, 0x1d};
inline const QColor kWindowBottom{0x0d, 0x0f, 0x12};
inline const QColor kBarTop{0x1b, 0x1f, 0x26};
inline const QColor kBarBottom{0x15, 0x18, 0x1e};
inline const QColor kLine{0x27, 0x2d, 0x36};
inline const QColor kPanelEdge{0x2a, 0x31, 0x3b};
inline const QColor kInset{0x10, 0x13, 0x17};
inline const QColor kPlate{0x78, 0x82, 0x8e};  // ground of labels drawn in black
inline const QColor kAccent{0x3c, 0xc8, 0xda};
inline const QColor kAccentDeep{0x1d, 0x9c, 0xae};
inline const QColor kMuted{0x7c, 0x86, 0x93};
inline const QColor kWarning{0xf0, 0xb4, 0x29};
}  // namespace palette

QRectF ToRect(const Box& box);

// The window's ground, the title bar and the sidebar: the same on every page.
void DrawWindowGround(QPainter& p);
// A raised panel behind a group of controls.
void DrawPanel(QPainter& p, const Box& box);
// One row of a page in the given image. Looks drawn by a picture of their
// own (MouseLight, Preview) are left to it.
void DrawRow(QPainter& p, const RowSpec& row, Layer layer);

// The face of a push button in one state, with its corner radius.
void DrawFace(QPainter& p, const QRectF& r, Layer layer, qreal radius);

// A chevron of `size` around `c`: pointing right (a group that opens) or down.
void DrawChevron(QPainter& p, const QPointF& c, qreal size, const QColor& colour, bool pointsRight);

// A small font for the numbers drawn into the images.
QFont ImageFont(int pixelSize);

}  // namespace tolvar::skinbuilder
