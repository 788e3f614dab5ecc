#include "page_images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include "config/profile_settings.h"
#include "mouse_art.h"

namespace tolvar::skinbuilder {

namespace {

using namespace palette;

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

void Begin(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
}

// What every page shows: the ground, the title bar, the sidebar and the
// header's controls, so the header looks the same on all three pages.
void DrawCommon(QPainter& p, Layer layer) {
  DrawWindowGround(p);
  for (const RowSpec& row : HeaderRows()) DrawRow(p, row, layer);
}

void DrawPageRows(QPainter& p, const PageSpec& page, Layer layer) {
  for (const Box& panel : page.panels) DrawPanel(p, panel);
  for (const RowSpec& row : page.rows) DrawRow(p, row, layer);
}

// The DPI of each step above its column of cells, so each bar reads as a value.
void DrawDpiRuler(QPainter& p) {
  const std::vector<RowSpec>& rows = MainPage().rows;
  const Box& headings = RowOf(rows, 36).box;  // the ruler runs along the column headings
  p.setFont(ImageFont(9));
  for (int s = 0; s < kDpiStepCount; ++s) {
    const Box& cell = RowOf(rows, 66 + s).box;
    const QRectF column(cell.x, headings.y, cell.w, headings.h);
    p.setPen(s % 3 == 2 ? QColor(0xc4, 0xcc, 0xd5) : kMuted);
    p.drawText(column, Qt::AlignCenter, QString::number(DpiStepTable[static_cast<std::size_t>(s)].dpi));
  }
  // A faint guide under each level's bar.
  p.setPen(QPen(QColor(0x22, 0x27, 0x2f), 1));
  for (int i = 0; i < kDpiLevelCount; ++i) {
    const Box& first = RowOf(rows, 66 + 12 * i).box;
    const Box& last = RowOf(rows, 77 + 12 * i).box;
    const qreal y = first.Bottom() + 3.5;
    p.drawLine(QPointF(RowOf(rows, 60 + i).box.x, y), QPointF(last.Right(), y));
  }
}

// Calm dark wells under the advanced page's native controls.
void DrawControlWells(QPainter& p) {
  for (const AreaSpec& area : AdvancedAreas()) {
    if (!area.holdsControl) continue;
    const QRectF r = ToRect(area.box).adjusted(-2.5, -2.5, 2.5, 2.5);
    p.setPen(QPen(kPanelEdge, 1));
    p.setBrush(kInset);
    p.drawRoundedRect(r, 4, 4);
  }
}

// The light card behind the page's card lines.
void DrawInfoCard(QPainter& p, const PageSpec& page) {
  QRectF card;
  for (const RowSpec& row : page.rows) {
    if (row.look == Look::CardLine) card = card.united(ToRect(row.box).adjusted(-8, -8, 8, 8));
  }
  if (card.isEmpty()) return;
  p.setPen(QPen(kPlate.darker(125), 1));
  p.setBrush(kPlate);
  p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(kAccentDeep);
  p.drawRoundedRect(QRectF(card.left() + 3, card.top() + 10, 3, card.height() - 20), 1.5, 1.5);
}

}  // namespace

QImage MainPageImage(Layer layer) {
  QImage image = Blank(kWindowWidth, kWindowHeight);
  QPainter p(&image);
  Begin(p);
  DrawCommon(p, layer);
  DrawPageRows(p, MainPage(), layer);
  DrawMousePicture(p, layer);
  DrawDpiRuler(p);
  return image;
}

QImage AdvancedPageImage(Layer layer) {
  QImage image = Blank(kWindowWidth, kWindowHeight);
  QPainter p(&image);
  Begin(p);
  DrawCommon(p, layer);
  for (const Box& panel : AdvancedPage().panels) DrawPanel(p, panel);
  DrawControlWells(p);
  DrawInfoCard(p, AdvancedPage());
  for (const RowSpec& row : AdvancedPage().rows) DrawRow(p, row, layer);
  return image;
}

QImage ColourPageImage(Layer layer, std::optional<int> light) {
  QImage image = Blank(kWindowWidth, kWindowHeight);
  QPainter p(&image);
  Begin(p);
  DrawCommon(p, layer);
  DrawPageRows(p, ColourPage(), layer);
  std::optional<QColor> lamp;
  if (light) lamp = QColor::fromRgb(CycleColourRgb()[static_cast<std::size_t>(*light)]);
  DrawLightingPreview(p, RowOf(ColourPage().rows, 32).box, lamp);
  return image;
}

QImage MenuImage(int items, int firstGroupItem, Layer layer) {
  const int height = items * kMenuItemHeight + 1;
  QImage image = Blank(kMenuWidth, height);
  QPainter p(&image);
  Begin(p);
  const QRectF all(0, 0, kMenuWidth, height);
  QLinearGradient ground(all.topLeft(), all.bottomLeft());
  ground.setColorAt(0, QColor(0x1c, 0x20, 0x27));
  ground.setColorAt(1, QColor(0x15, 0x18, 0x1d));
  p.fillRect(all, ground);
  for (int i = 0; i < items; ++i) {
    const QRectF band(0, i * kMenuItemHeight, kMenuWidth, kMenuItemHeight);
    if (layer == Layer::Normal) {
      if (i > 0) {
        p.setPen(QPen(QColor(0x26, 0x2c, 0x34), 1));
        p.drawLine(QPointF(12, band.top() + 0.5), QPointF(kMenuWidth - 12, band.top() + 0.5));
      }
    } else {
      const bool down = layer == Layer::Down;
      p.setPen(QPen(down ? kAccent : QColor(0x3c, 0xc8, 0xda, 140), 1));
      p.setBrush(down ? QColor(0x0c, 0x2a, 0x30) : QColor(0x09, 0x0b, 0x0e));
      p.drawRoundedRect(band.adjusted(2.5, 1.5, -2.5, -1.5), 4, 4);
      p.setPen(Qt::NoPen);
      p.setBrush(kAccent);
      p.drawRoundedRect(QRectF(4, band.top() + 6, down ? 5 : 3, kMenuItemHeight - 12), 1.5, 1.5);
    }
    if (firstGroupItem > 0 && i + 1 >= firstGroupItem) {
      DrawChevron(p, QPointF(kMenuWidth - 16, band.center().y()), 5, layer == Layer::Normal ? kMuted : kAccent, true);
    }
  }
  p.setPen(QPen(QColor(0x3a, 0x42, 0x4d), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
  return image;
}

QImage WarningImage(Layer layer) {
  QImage image = Blank(kWarningWidth, kWarningHeight);
  QPainter p(&image);
  Begin(p);
  const QRectF all(0, 0, kWarningWidth, kWarningHeight);
  p.fillRect(all, QColor(0x14, 0x17, 0x1c));
  const QRectF card = all.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient ground(card.topLeft(), card.bottomLeft());
  ground.setColorAt(0, QColor(0x1f, 0x23, 0x2b));
  ground.setColorAt(1, QColor(0x15, 0x18, 0x1d));
  p.setPen(QPen(QColor(0x3a, 0x42, 0x4d), 1));
  p.setBrush(ground);
  p.drawRoundedRect(card, kWarningRadius, kWarningRadius);
  // A warning sign and an amber rule across the top.
  QPainterPath sign(QPointF(28, 9));
  sign.lineTo(QPointF(38, 27));
  sign.lineTo(QPointF(18, 27));
  sign.closeSubpath();
  p.setPen(QPen(kWarning, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0x3a, 0x2c, 0x0c));
  p.drawPath(sign);
  p.setPen(QPen(kWarning, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(28, 15), QPointF(28, 21));
  p.drawPoint(QPointF(28, 24.5));
  QLinearGradient rule(QPointF(46, 0), QPointF(kWarningWidth - 16, 0));
  rule.setColorAt(0, QColor(0xf0, 0xb4, 0x29, 180));
  rule.setColorAt(1, QColor(0xf0, 0xb4, 0x29, 0));
  p.fillRect(QRectF(46, 18, kWarningWidth - 62, 1.2), rule);
  for (const RowSpec& row : WarningPage().rows) DrawRow(p, row, layer);
  return image;
}

QImage ShapeMask(int width, int height, int radius) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawRoundedRect(QRectF(0, 0, width, height), radius, radius);
  return image;
}

QImage SizeMask(int width, int height) { return Blank(width, height); }

}  // namespace tolvar::skinbuilder
