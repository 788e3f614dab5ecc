#include "control_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tolvar::skinbuilder {

namespace {

using namespace palette;

QColor Mix(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor WithAlpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

void FillRounded(QPainter& p, const QRectF& r, qreal radius, const QBrush& brush, const QPen& pen = Qt::NoPen) {
  p.setPen(pen);
  p.setBrush(brush);
  p.drawRoundedRect(r, radius, radius);
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

// Flat, without a button's edge and gradient, so a label never reads as a control.
void DrawPlate(QPainter& p, const QRectF& r) {
  FillRounded(p, r, 3, kPlate);
  p.setPen(QPen(QColor(0x5a, 0x63, 0x6e), 1));
  p.drawLine(QPointF(r.left() + 3, r.bottom() - 0.5), QPointF(r.right() - 3, r.bottom() - 0.5));
}

void DrawTag(QPainter& p, const QRectF& r) {
  const qreal point = std::min<qreal>(8, r.height() / 2);
  QPainterPath tag;
  tag.moveTo(r.left() + 3, r.top());
  tag.lineTo(r.right() - point, r.top());
  tag.lineTo(r.right(), r.center().y());
  tag.lineTo(r.right() - point, r.bottom());
  tag.lineTo(r.left() + 3, r.bottom());
  tag.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - 3);
  tag.lineTo(r.left(), r.top() + 3);
  tag.quadTo(r.left(), r.top(), r.left() + 3, r.top());
  p.setPen(Qt::NoPen);
  p.setBrush(kPlate);
  p.drawPath(tag);
}

void DrawTitle(QPainter& p, const QRectF& r) {
  FillRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), r.height() / 2, QColor(0x12, 0x15, 0x1a), QPen(kLine, 1));
  const QRectF bar(r.left() + 8, r.center().y() - 5, 3, 10);
  FillRounded(p, bar, 1.5, kAccent);
  FillRounded(p, QRectF(r.right() - 11, r.center().y() - 1.5, 3, 3), 1.5, kAccent);
}

void DrawReadout(QPainter& p, const QRectF& r) {
  FillRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 6, Vertical(r, QColor(0x08, 0x0a, 0x0d), QColor(0x10, 0x14, 0x19)),
              QPen(WithAlpha(kAccent, 120), 1));
  p.setPen(QPen(WithAlpha(kAccent, 50), 1));
  p.drawLine(QPointF(r.left() + 8, r.bottom() - 4.5), QPointF(r.right() - 8, r.bottom() - 4.5));
}

void DrawBrand(QPainter& p, const QRectF& r) {
  // The mark left of the product name: a stylised scroll wheel in a hexagon.
  const QPointF c(r.left() - 20, r.center().y());
  QPainterPath hex;
  for (int i = 0; i < 6; ++i) {
    const qreal a = (60.0 * i - 90.0) * 3.14159265358979 / 180.0;
    const QPointF v(c.x() + 11 * std::cos(a), c.y() + 11 * std::sin(a));
    if (i == 0)
      hex.moveTo(v);
    else
      hex.lineTo(v);
  }
  hex.closeSubpath();
  p.setPen(QPen(kAccent, 1.6));
  p.setBrush(QColor(0x10, 0x2a, 0x30));
  p.drawPath(hex);
  FillRounded(p, QRectF(c.x() - 2, c.y() - 5, 4, 10), 2, kAccent);
}

void DrawTab(QPainter& p, const QRectF& r, Layer layer) {
  DrawFace(p, r, layer, r.height() / 2);
  if (layer == Layer::Down) {
    FillRounded(p, QRectF(r.center().x() - 18, r.bottom() - 4, 36, 2.5), 1.2, kAccentDeep);
  }
}

void DrawToggle(QPainter& p, const QRectF& box, Layer layer) {
  const qreal h = std::min<qreal>(box.height(), 18);
  const qreal w = std::min<qreal>(box.width(), 36);
  const QRectF track(box.center().x() - w / 2, box.center().y() - h / 2, w, h);
  const bool on = layer == Layer::Down;
  const QColor trackColour = on ? kAccent : layer == Layer::Over ? QColor(0x4a, 0x54, 0x62) : QColor(0x33, 0x3a, 0x44);
  FillRounded(p, track, h / 2, trackColour, QPen(on ? kAccentDeep : QColor(0x55, 0x5f, 0x6c), 1));
  const qreal knob = h - 4;
  const qreal kx = on ? track.right() - 2 - knob : track.left() + 2;
  FillRounded(p, QRectF(kx, track.top() + 2, knob, knob), knob / 2,
              on                     ? QColor(0xf7, 0xfa, 0xfc)
              : layer == Layer::Over ? QColor(0xe8, 0xed, 0xf2)
                                     : QColor(0x9a, 0xa4, 0xb0));
}

void DrawRadio(QPainter& p, const QRectF& box, Layer layer) {
  const qreal d = std::min<qreal>(16, std::min(box.width(), box.height()) - 4);
  const QRectF ring(box.center().x() - d / 2, box.center().y() - d / 2, d, d);
  const QColor edge = layer == Layer::Normal ? QColor(0x7c, 0x86, 0x93) : kAccent;
  p.setPen(QPen(edge, 1.6));
  p.setBrush(layer == Layer::Over ? QColor(0x23, 0x2a, 0x33) : kInset);
  p.drawEllipse(ring);
  if (layer == Layer::Down) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(ring.adjusted(4, 4, -4, -4));
  }
}

void DrawStepCell(QPainter& p, const QRectF& r, Layer layer) {
  // The program fills (x + 1, y + 1, w − 2, h − 1); the cell's one-pixel
  // frame stays visible around the fill and shows the hover.
  const QRectF slot = r.adjusted(0.5, 0.5, -0.5, -0.5);
  switch (layer) {
    case Layer::Normal:
      FillRounded(p, slot, 2, QColor(0x22, 0x28, 0x31), QPen(QColor(0x14, 0x17, 0x1c), 1));
      p.setPen(QPen(QColor(0x2e, 0x36, 0x41), 1));
      p.drawLine(QPointF(r.left() + 3, r.top() + 2.5), QPointF(r.right() - 3, r.top() + 2.5));
      break;
    case Layer::Over:
      FillRounded(p, slot, 2, QColor(0x3a, 0x44, 0x51), QPen(kAccent, 1));
      break;
    case Layer::Down:
      FillRounded(p, slot, 2, Vertical(r, kAccent, kAccentDeep), QPen(QColor(0xd8, 0xf7, 0xfb), 1));
      break;
  }
}

void DrawSwatch(QPainter& p, const QRectF& r) {
  FillRounded(p, r.adjusted(-2.5, -2.5, 2.5, 2.5), 4, QColor(0x0c, 0x0e, 0x11), QPen(QColor(0x5b, 0x65, 0x72), 1));
  FillRounded(p, r, 2, QColor(0x2b, 0x31, 0x3a));
}

void DrawDropdown(QPainter& p, const QRectF& r, Layer layer) {
  DrawFace(p, r, layer, 5);
  const QRectF well(r.right() - 24, r.top() + 3, 20, r.height() - 6);
  p.setPen(QPen(QColor(0, 0, 0, 50), 1));
  p.drawLine(QPointF(well.left() - 0.5, well.top() + 1), QPointF(well.left() - 0.5, well.bottom() - 1));
  DrawChevron(p, well.center(), 4, QColor(0x20, 0x24, 0x2a), false);
}

void DrawColourChip(QPainter& p, const QRectF& r, Layer layer, int colour) {
  const QColor light = QColor::fromRgb(CycleColourRgb()[static_cast<std::size_t>(colour)]);
  if (layer == Layer::Down) {
    const QColor face = Mix(light, Qt::white, 0.45);
    FillRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 7, Vertical(r, face, Mix(face, light, 0.35)),
                QPen(Mix(light, Qt::black, 0.25), 2));
  } else {
    DrawFace(p, r, layer, 7);
  }
  const QPointF dot(r.left() + 11, r.center().y());
  p.setPen(QPen(layer == Layer::Down ? Mix(light, Qt::black, 0.45) : QColor(0x30, 0x36, 0x3e), 1.5));
  p.setBrush(layer == Layer::Normal ? Mix(light, QColor(0x8e, 0x99, 0xa6), 0.35) : light);
  p.drawEllipse(dot, 5, 5);
}

enum class Icon { Minimise, Close, Globe };

// A round icon button of the title bar: the glyph alone, on a disc when
// hovered or pressed.
void DrawIconButton(QPainter& p, const QRectF& r, Layer layer, Icon icon) {
  const QRectF disc = r.adjusted(1, 1, -1, -1);
  QColor glyph(0xa9, 0xb2, 0xbd);
  if (layer != Layer::Normal) {
    const bool over = layer == Layer::Over;
    p.setPen(Qt::NoPen);
    if (icon == Icon::Close) {
      p.setBrush(over ? QColor(0xc8, 0x4b, 0x4b) : QColor(0x9e, 0x32, 0x32));
    } else {
      p.setBrush(over ? QColor(0x33, 0x3b, 0x46) : kAccentDeep);
    }
    p.drawEllipse(disc);
    glyph = over ? QColor(0xff, 0xff, 0xff) : QColor(0xe6, 0xea, 0xee);
  }
  const QPointF c = r.center();
  p.setPen(QPen(glyph, icon == Icon::Globe ? 1.3 : 1.8, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  switch (icon) {
    case Icon::Close:
      p.drawLine(QPointF(c.x() - 4.5, c.y() - 4.5), QPointF(c.x() + 4.5, c.y() + 4.5));
      p.drawLine(QPointF(c.x() + 4.5, c.y() - 4.5), QPointF(c.x() - 4.5, c.y() + 4.5));
      break;
    case Icon::Minimise:
      p.drawLine(QPointF(c.x() - 5, c.y() + 0.5), QPointF(c.x() + 5, c.y() + 0.5));
      break;
    case Icon::Globe:
      p.drawEllipse(c, 7, 7);
      p.drawEllipse(c, 3, 7);
      p.drawLine(QPointF(c.x() - 7, c.y()), QPointF(c.x() + 7, c.y()));
      p.drawLine(QPointF(c.x() - 6, c.y() - 3.5), QPointF(c.x() + 6, c.y() - 3.5));
      p.drawLine(QPointF(c.x() - 6, c.y() + 3.5), QPointF(c.x() + 6, c.y() + 3.5));
      break;
  }
}

void DrawSlider(QPainter& p, const QRectF& r, Layer layer) {
  const QRectF track = r.adjusted(0.5, 3.5, -0.5, -3.5);
  if (layer == Layer::Down) {
    QLinearGradient g(track.topLeft(), track.topRight());
    g.setColorAt(0, kAccentDeep);
    g.setColorAt(1, kAccent);
    FillRounded(p, track, 4, g, QPen(QColor(0xb8, 0xf1, 0xf8), 1));
  } else {
    FillRounded(p, track, 4, layer == Layer::Over ? QColor(0x32, 0x3a, 0x45) : QColor(0x20, 0x26, 0x2e),
                QPen(layer == Layer::Over ? kAccent : QColor(0x35, 0x3d, 0x48), 1));
  }
  // Ticks every tenth of the range.
  p.setPen(QPen(layer == Layer::Down ? QColor(0x0b, 0x3c, 0x44, 150) : QColor(0x4a, 0x53, 0x5f), 1));
  for (int i = 1; i < 10; ++i) {
    const qreal x = std::floor(r.left() + r.width() * i / 10) + 0.5;
    p.drawLine(QPointF(x, track.top() + 4), QPointF(x, track.bottom() - 4));
  }
}

void DrawWarningButton(QPainter& p, const QRectF& r, Layer layer) {
  if (layer == Layer::Normal) {
    FillRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 6, Vertical(r, QColor(0x24, 0x29, 0x31), QColor(0x1a, 0x1e, 0x24)),
                QPen(QColor(0x45, 0x4e, 0x5a), 1));
  } else {
    FillRounded(p, r.adjusted(1, 1, -1, -1), 6, Vertical(r, QColor(0x0e, 0x10, 0x13), QColor(0x14, 0x17, 0x1b)),
                QPen(kWarning, 2));
  }
}

// One row's look, drawn into its rectangle.
void DrawRowLook(QPainter& p, const RowSpec& row, const QRectF& r, Layer layer) {
  switch (row.look) {
    case Look::Button:
    case Look::Segment:
      DrawFace(p, r, layer, row.look == Look::Segment ? 4 : 6);
      break;
    case Look::PrimaryButton:
      DrawFace(p, r, layer, 7);
      if (layer == Layer::Normal) {
        FillRounded(p, QRectF(r.left() + 10, r.bottom() - 5, r.width() - 20, 2.5), 1.2, kAccentDeep);
      }
      break;
    case Look::Tab:
      DrawTab(p, r, layer);
      break;
    case Look::Toggle:
      DrawToggle(p, r, layer);
      break;
    case Look::Radio:
      DrawRadio(p, r, layer);
      break;
    case Look::StepCell:
      DrawStepCell(p, r, layer);
      break;
    case Look::Swatch:
      DrawSwatch(p, r);
      break;
    case Look::Dropdown:
      DrawDropdown(p, r, layer);
      break;
    case Look::ColourChip:
      DrawColourChip(p, r, layer, row.variant);
      break;
    case Look::Minimise:
      DrawIconButton(p, r, layer, Icon::Minimise);
      break;
    case Look::Close:
      DrawIconButton(p, r, layer, Icon::Close);
      break;
    case Look::WebSite:
      DrawIconButton(p, r, layer, Icon::Globe);
      break;
    case Look::Slider:
      DrawSlider(p, r, layer);
      break;
    case Look::Plate:
      DrawPlate(p, r);
      break;
    case Look::Tag:
      DrawTag(p, r);
      break;
    case Look::Caption:
    case Look::CardLine:
      break;
    case Look::Title:
      DrawTitle(p, r);
      break;
    case Look::Readout:
      DrawReadout(p, r);
      break;
    case Look::Brand:
      DrawBrand(p, r);
      break;
    case Look::WarningButton:
      DrawWarningButton(p, r, layer);
      break;
    case Look::MouseLight:
    case Look::Preview:
      break;
  }
}

}  // namespace

QRectF ToRect(const Box& box) { return QRectF(box.x, box.y, box.w, box.h); }

void DrawChevron(QPainter& p, const QPointF& c, qreal size, const QColor& colour, bool pointsRight) {
  QPainterPath path;
  if (pointsRight) {
    path.moveTo(c.x() - size / 2, c.y() - size);
    path.lineTo(c.x() + size / 2, c.y());
    path.lineTo(c.x() - size / 2, c.y() + size);
  } else {
    path.moveTo(c.x() - size, c.y() - size / 2);
    path.lineTo(c.x(), c.y() + size / 2);
    path.lineTo(c.x() + size, c.y() - size / 2);
  }
  p.setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

QFont ImageFont(int pixelSize) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

void DrawFace(QPainter& p, const QRectF& r, Layer layer, qreal radius) {
  const QRectF face = r.adjusted(0.5, 0.5, -0.5, -0.5);
  switch (layer) {
    case Layer::Normal:
      FillRounded(p, face.translated(0, 1), radius, QColor(0x06, 0x07, 0x09));
      FillRounded(p, face, radius, Vertical(r, QColor(0xa2, 0xac, 0xb8), QColor(0x7f, 0x8a, 0x97)),
                  QPen(QColor(0x52, 0x5c, 0x68), 1));
      p.setPen(QPen(QColor(0xc4, 0xcc, 0xd5, 140), 1));
      p.drawLine(QPointF(face.left() + radius, face.top() + 1), QPointF(face.right() - radius, face.top() + 1));
      break;
    case Layer::Over:
      FillRounded(p, face, radius, Vertical(r, QColor(0xf4, 0xf7, 0xfa), QColor(0xd9, 0xe1, 0xe9)), QPen(kAccent, 1.4));
      break;
    case Layer::Down:
      FillRounded(p, face, radius, Vertical(r, QColor(0xa3, 0xe9, 0xf2), QColor(0xc9, 0xf5, 0xfa)),
                  QPen(kAccentDeep, 2));
      p.setPen(QPen(QColor(0x12, 0x6e, 0x7b, 120), 1));
      p.drawLine(QPointF(face.left() + radius, face.top() + 2), QPointF(face.right() - radius, face.top() + 2));
      break;
  }
}

void DrawWindowGround(QPainter& p) {
  const QRectF all(0, 0, kWindowWidth, kWindowHeight);
  p.fillRect(all, Vertical(all, kWindowTop, kWindowBottom));
  const QRectF bar(0, 0, kWindowWidth, kTitleBarHeight);
  p.fillRect(bar, Vertical(bar, kBarTop, kBarBottom));
  p.setPen(QPen(kLine, 1));
  p.drawLine(QPointF(0, kTitleBarHeight - 0.5), QPointF(kWindowWidth, kTitleBarHeight - 0.5));
  // A thin accent line under the bar's left part ties the title to the tabs.
  QLinearGradient fade(QPointF(0, 0), QPointF(600, 0));
  fade.setColorAt(0, WithAlpha(kAccent, 160));
  fade.setColorAt(1, WithAlpha(kAccent, 0));
  p.fillRect(QRectF(0, kTitleBarHeight - 1, 600, 1), fade);
  const QRectF side(0, kTitleBarHeight, kSidebarWidth, kWindowHeight - kTitleBarHeight);
  p.fillRect(side, QColor(0x12, 0x15, 0x19));
  p.setPen(QPen(kLine, 1));
  p.drawLine(QPointF(kSidebarWidth - 0.5, kTitleBarHeight), QPointF(kSidebarWidth - 0.5, kWindowHeight));
  // Separators between the sidebar's groups: profiles, files, actions.
  const std::vector<RowSpec>& header = HeaderRows();
  for (const auto& [above, below] : {std::pair{8, 14}, std::pair{16, 0}}) {
    const int y = (RowOf(header, above).box.Bottom() + RowOf(header, below).box.y) / 2;
    p.drawLine(QPointF(24, y + 0.5), QPointF(kSidebarWidth - 24, y + 0.5));
  }
  // The window's rim, just inside the shape of the mask.
  p.setPen(QPen(QColor(0x33, 0x3a, 0x45), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), kWindowRadius, kWindowRadius);
}

void DrawPanel(QPainter& p, const Box& box) {
  const QRectF r = ToRect(box).adjusted(0.5, 0.5, -0.5, -0.5);
  FillRounded(p, r, 10, Vertical(r, QColor(0x1c, 0x21, 0x28), QColor(0x17, 0x1b, 0x21)), QPen(kPanelEdge, 1));
  p.setPen(QPen(QColor(0x2c, 0x33, 0x3d), 1));
  p.drawLine(QPointF(r.left() + 10, r.top() + 1), QPointF(r.right() - 10, r.top() + 1));
}

void DrawRow(QPainter& p, const RowSpec& row, Layer layer) {
  const QRectF r = ToRect(row.box);
  // Only the row's own rectangle is ever taken from the over and down
  // images, so nothing of a neighbour may spill into it there.
  p.save();
  if (layer != Layer::Normal) p.setClipRect(r);
  DrawRowLook(p, row, r, layer);
  p.restore();
}

}  // namespace tolvar::skinbuilder
