#include "mouse_art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>

namespace tolvar::skinbuilder {

namespace {

// Shape of the mouse seen from above, in a box: points given as fractions
// of the box's width and height.
class MouseShape {
 public:
  explicit MouseShape(const QRectF& box) : box_(box) {}

  QPointF At(qreal u, qreal v) const { return {box_.left() + u * box_.width(), box_.top() + v * box_.height()}; }

  QPainterPath Body() const {
    QPainterPath path(At(0.5, 0));
    path.cubicTo(At(0.80, 0.0), At(0.98, 0.12), At(1.0, 0.34));
    path.cubicTo(At(1.02, 0.55), At(0.96, 0.80), At(0.86, 0.92));
    path.cubicTo(At(0.76, 1.02), At(0.24, 1.02), At(0.14, 0.92));
    path.cubicTo(At(0.04, 0.80), At(-0.02, 0.55), At(0.0, 0.34));
    path.cubicTo(At(0.02, 0.12), At(0.20, 0.0), At(0.5, 0));
    return path;
  }

  // Left (side 0) or right (side 1) main button: the body above the split,
  // less a narrow gap in the middle for the wheel.
  QPainterPath MainButton(int side, qreal gap) const {
    const qreal cx = box_.center().x();
    QPainterPath half;
    if (side == 0) {
      half.addRect(QRectF(QPointF(box_.left() - 4, box_.top() - 4), QPointF(cx - gap, SplitY())));
    } else {
      half.addRect(QRectF(QPointF(cx + gap, box_.top() - 4), QPointF(box_.right() + 4, SplitY())));
    }
    return Body().intersected(half);
  }

  qreal SplitY() const { return box_.top() + box_.height() * 0.42; }
  const QRectF& Box() const { return box_; }

 private:
  QRectF box_;
};

QColor WithAlpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

void DrawBody(QPainter& p, const MouseShape& m, const QColor& top, const QColor& bottom, const QColor& rim) {
  QLinearGradient g(m.At(0.3, 0), m.At(0.7, 1));
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setPen(QPen(rim, 1.4));
  p.setBrush(g);
  p.drawPath(m.Body());
  // Seams: the split between the buttons and the two buttons' lower edge.
  p.setPen(QPen(QColor(0x0a, 0x0c, 0x0f), 1.6));
  const qreal cx = m.Box().center().x();
  p.drawLine(QPointF(cx, m.Box().top() + 1), QPointF(cx, m.SplitY()));
  QPainterPath seam(m.At(0.02, 0.44));
  seam.quadTo(m.At(0.5, 0.38), m.At(0.98, 0.44));
  p.setBrush(Qt::NoBrush);
  p.drawPath(seam);
}

QRectF Pill(const MouseShape& m, qreal v0, qreal v1, qreal widthFraction) {
  const qreal w = m.Box().width() * widthFraction;
  return QRectF(QPointF(m.Box().center().x() - w / 2, m.At(0, v0).y()),
                QPointF(m.Box().center().x() + w / 2, m.At(0, v1).y()));
}

// The small buttons, each drawn as a pill inside its own box.
QRectF SidePill(const Box& box) { return QRectF(box.x + 3, box.y + 3, 8, box.h - 6); }
QRectF CentrePill(const Box& box, qreal width) {
  return QRectF(box.x + (box.w - width) / 2, box.y + 2, width, box.h - 4);
}

QPainterPath PillPath(const QRectF& r) {
  QPainterPath path;
  const qreal radius = std::min(r.width(), r.height()) / 2;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// A halo of widening, fading strokes around a lit shape.
void Halo(QPainter& p, const QPainterPath& shape, const QColor& light, int strength) {
  p.setBrush(Qt::NoBrush);
  for (int i = 6; i >= 1; --i) {
    p.setPen(QPen(WithAlpha(light, strength / (i + 1)), i * 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
  }
}

void LitShape(QPainter& p, const QPainterPath& shape, const QColor& light) {
  Halo(p, shape, light, 150);
  p.setPen(QPen(light.lighter(130), 1));
  p.setBrush(light);
  p.drawPath(shape);
}

}  // namespace

void DrawMousePicture(QPainter& p, Layer layer) {
  const Box pictureBox = MousePictureBox();
  const MouseShape m(ToRect(pictureBox));
  const auto boxes = MouseButtonBoxes(pictureBox);
  // Soft floor shadow.
  QRadialGradient shadow(m.At(0.5, 0.98), m.Box().width() * 0.6);
  shadow.setColorAt(0, QColor(0, 0, 0, 140));
  shadow.setColorAt(1, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shadow);
  p.drawEllipse(m.At(0.5, 0.98), m.Box().width() * 0.6, 12);
  DrawBody(p, m, QColor(0x3a, 0x41, 0x4b), QColor(0x1d, 0x21, 0x27), QColor(0x3c, 0x44, 0x50));

  const QColor idle(0x59, 0x62, 0x6e);
  // Logical buttons 0..5: left, right, wheel, forward, back, DPI.
  const QPainterPath shapes[6] = {
      m.MainButton(0, 2.5),         m.MainButton(1, 2.5),         PillPath(CentrePill(boxes[2], 10)),
      PillPath(SidePill(boxes[3])), PillPath(SidePill(boxes[4])), PillPath(CentrePill(boxes[5], 8)),
  };
  p.setPen(QPen(QColor(0x0a, 0x0c, 0x0f), 1));
  p.setBrush(idle);
  for (int k = 2; k < 6; ++k) p.drawPath(shapes[k]);
  if (layer == Layer::Normal) return;

  // The over and down images: every button lit, each kept inside its own box.
  const QColor light = palette::kAccent;
  for (int k = 0; k < 6; ++k) {
    p.save();
    p.setClipRect(ToRect(boxes[static_cast<std::size_t>(k)]));
    if (k < 2) {
      p.setPen(QPen(light, 1.6));
      p.setBrush(WithAlpha(light, 90));
      p.drawPath(shapes[k]);
    } else {
      p.setPen(QPen(light.lighter(140), 1));
      p.setBrush(light);
      p.drawPath(shapes[k]);
    }
    p.restore();
  }
}

void DrawLightingPreview(QPainter& p, const Box& box, std::optional<QColor> light) {
  const QRectF stage = ToRect(box);
  // The stage: a dark, softly lit floor; lit in the colour when the light is on.
  QRadialGradient floor(stage.center() + QPointF(0, stage.height() * 0.1), stage.width() * 0.62);
  floor.setColorAt(0, light ? QColor::fromRgbF(light->redF() * 0.16f + 0.05f, light->greenF() * 0.16f + 0.05f,
                                               light->blueF() * 0.16f + 0.05f)
                            : QColor(0x1f, 0x20, 0x22));
  floor.setColorAt(1, QColor(0x0f, 0x10, 0x11));
  p.setPen(QPen(QColor(0x2a, 0x2b, 0x2d), 1));
  p.setBrush(floor);
  p.drawRoundedRect(stage.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

  const qreal w = stage.width() * 0.56;
  const qreal h = stage.height() * 0.78;
  const MouseShape m(QRectF(stage.center().x() - w / 2, stage.top() + stage.height() * 0.09, w, h));
  p.save();
  p.setClipRect(stage.adjusted(1, 1, -1, -1));
  if (light) Halo(p, m.Body(), *light, 110);
  // The unlit preview is plain gray, so any colour on it reads as light.
  DrawBody(p, m, QColor(0x3b, 0x3c, 0x3f), QColor(0x16, 0x17, 0x19), QColor(0x48, 0x4a, 0x4d));

  const QColor unlit(0x56, 0x58, 0x5c);
  const QColor lamp = light.value_or(unlit);
  // Lit parts: the wheel, two strips along the flanks and the emblem on the palm.
  QPainterPath wheel;
  const QRectF wheelRect = Pill(m, 0.10, 0.30, 0.075);
  wheel.addRoundedRect(wheelRect, wheelRect.width() / 2, wheelRect.width() / 2);
  QPainterPath strips;
  strips.moveTo(m.At(0.07, 0.50));
  strips.cubicTo(m.At(0.05, 0.64), m.At(0.09, 0.78), m.At(0.20, 0.88));
  strips.moveTo(m.At(0.93, 0.50));
  strips.cubicTo(m.At(0.95, 0.64), m.At(0.91, 0.78), m.At(0.80, 0.88));
  QPainterPath emblem;
  emblem.moveTo(m.At(0.38, 0.62));
  emblem.lineTo(m.At(0.50, 0.74));
  emblem.lineTo(m.At(0.62, 0.62));
  emblem.moveTo(m.At(0.42, 0.70));
  emblem.lineTo(m.At(0.50, 0.78));
  emblem.lineTo(m.At(0.58, 0.70));

  if (light) {
    LitShape(p, wheel, lamp);
    Halo(p, strips, lamp, 190);
    Halo(p, emblem, lamp, 170);
  } else {
    p.setPen(QPen(QColor(0x0a, 0x0c, 0x0f), 1));
    p.setBrush(unlit);
    p.drawPath(wheel);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(light ? lamp.lighter(115) : unlit, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(strips);
  p.setPen(QPen(light ? lamp.lighter(115) : unlit, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(emblem);
  // The DPI button stays dark; it carries no light.
  const QRectF dpi = Pill(m, 0.33, 0.40, 0.05);
  p.setPen(QPen(QColor(0x0a, 0x0c, 0x0f), 1));
  p.setBrush(QColor(0x2d, 0x2e, 0x31));
  p.drawRoundedRect(dpi, dpi.width() / 2, dpi.width() / 2);
  p.restore();
}

}  // namespace tolvar::skinbuilder
