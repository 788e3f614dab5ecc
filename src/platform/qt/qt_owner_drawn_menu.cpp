#include "platform/qt/qt_owner_drawn_menu.h"

#include <QHash>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "platform/qt/qt_canvas.h"

namespace tolvar {

namespace {

QString ToQString(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt hands the style an entry's caption, not the entry: entries are found
// by caption (entries with one caption look alike) and separators by kind.
class OwnerDrawnStyle final : public QProxyStyle {
 public:
  explicit OwnerDrawnStyle(const MenuLook& look) : QProxyStyle(QStringLiteral("Fusion")), look_(look) {}

  void Learn(const MenuEntry& entry) {
    if (entry.id == 0 && entry.entries.empty()) {
      separator_ = entry.record;
    } else {
      records_.insert(ToQString(entry.text), entry.record);
    }
  }

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    switch (metric) {
      case PM_MenuPanelWidth:
      case PM_MenuHMargin:
      case PM_MenuVMargin:
      case PM_MenuDesktopFrameWidth:
      case PM_SubMenuOverlap:
        return 0;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, option, size, widget);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QtCanvas measuring(scratch);
    const TextSize measured = look_.MeasureEntry(measuring, RecordOf(option));
    return QSize(measured.width, measured.height);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_PanelMenu || element == PE_FrameMenu) return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if (element != CE_MenuItem && element != CE_MenuEmptyArea) {
      QProxyStyle::drawControl(element, option, painter, widget);
      return;
    }
    if (element == CE_MenuEmptyArea) return;
    const QRect rect = option->rect;
    if (rect.isEmpty()) return;
    QImage picture(rect.size(), QImage::Format_RGB32);
    picture.fill(painter->background().color());
    {
      QtCanvas canvas(picture);
      look_.DrawEntry(canvas, RecordOf(option), {0, 0, rect.width(), rect.height()},
                      (option->state & State_Selected) != 0);
    }
    painter->drawImage(rect.topLeft(), picture);
  }

 private:
  int RecordOf(const QStyleOption* option) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item == nullptr) return -1;
    if (item->menuItemType == QStyleOptionMenuItem::Separator) return separator_;
    return records_.value(item->text, -1);
  }

  const MenuLook& look_;
  QHash<QString, int> records_;
  int separator_ = -1;
};

void Learn(OwnerDrawnStyle& style, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    style.Learn(entry);
    Learn(style, entry.entries);
  }
}

void Fill(QMenu& menu, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& entry : entries) {
    if (!entry.entries.empty()) {
      Fill(*menu.addMenu(ToQString(entry.text)), entry.entries);
    } else if (entry.id == 0) {
      menu.addSeparator();
    } else {
      menu.addAction(ToQString(entry.text))->setData(entry.id);
    }
  }
}

}  // namespace

void ApplyOwnerDrawnLook(QMenu& menu, const std::vector<MenuEntry>& entries, const MenuLook& look) {
  const QList<OwnerDrawnStyle*> old = menu.findChildren<OwnerDrawnStyle*>(Qt::FindDirectChildrenOnly);
  auto* style = new OwnerDrawnStyle(look);
  Learn(*style, entries);
  menu.setStyle(style);
  for (QMenu* sub : menu.findChildren<QMenu*>()) sub->setStyle(style);
  style->setParent(&menu);  // the last child, so it outlives the sub-menus using it
  qDeleteAll(old);
}

void FillOwnerDrawnMenu(QMenu& menu, const std::vector<MenuEntry>& entries, const MenuLook& look) {
  Fill(menu, entries);
  ApplyOwnerDrawnLook(menu, entries, look);
}

int QtOwnerDrawnMenus::Track(const std::vector<MenuEntry>& entries, const MenuLook& look, int x, int y) {
  QMenu menu;
  FillOwnerDrawnMenu(menu, entries, look);
  const QAction* chosen = menu.exec(QPoint(x, y));
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

}  // namespace tolvar
