#include "platform/qt/qt_accessible_popup.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <optional>
#include <vector>

#include "platform/qt/qt_popup_window.h"

namespace tolvar {

namespace {

std::vector<PopupItem> ItemsOf(const QPointer<QtPopupWidget>& widget) {
  if (!widget || widget->Handlers() == nullptr) return {};
  return widget->Handlers()->Items();
}

class PopupItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  PopupItemAccessible(QtPopupWidget* widget, int index, QAccessible::Role role)
      : widget_(widget), index_(index), role_(role) {}

  bool isValid() const override { return Item().has_value(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return widget_ ? widget_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return widget_ ? QAccessible::queryAccessibleInterface(widget_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    const std::optional<PopupItem> item = Item();
    return item && t == QAccessible::Name ? QString::fromStdU16String(item->name) : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const std::optional<PopupItem> item = Item();
    if (!item || !widget_) return {};
    const QPoint origin = widget_->mapToGlobal(QPoint(item->rect.left, item->rect.top));
    return {origin, QSize(item->rect.right - item->rect.left, item->rect.bottom - item->rect.top)};
  }
  QAccessible::Role role() const override { return role_; }
  QAccessible::State state() const override {
    QAccessible::State s;
    const std::optional<PopupItem> item = Item();
    if (!item) {
      s.invisible = true;
      return s;
    }
    s.focusable = true;
    s.focused = item->lit;
    s.selectable = true;
    s.selected = item->lit;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name != pressAction() || !widget_) return;
    // A click at the item's centre once the event loop is back.
    QMetaObject::invokeMethod(
        widget_.data(),
        [widget = widget_, index = index_] {
          const std::vector<PopupItem> items = ItemsOf(widget);
          if (index >= static_cast<int>(items.size()) || widget->Handlers() == nullptr) return;
          const Rect& r = items[static_cast<std::size_t>(index)].rect;
          const int x = (r.left + r.right) / 2;
          const int y = (r.top + r.bottom) / 2;
          widget->Handlers()->OnMouseMove(x, y);
          if (widget->Handlers() != nullptr) widget->Handlers()->OnLButtonDown(x, y);
          if (widget->Handlers() != nullptr) widget->Handlers()->OnLButtonUp(x, y);
        },
        Qt::QueuedConnection);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  std::optional<PopupItem> Item() const {
    const std::vector<PopupItem> items = ItemsOf(widget_);
    if (index_ >= static_cast<int>(items.size())) return std::nullopt;
    return items[static_cast<std::size_t>(index_)];
  }

  QPointer<QtPopupWidget> widget_;
  const int index_;
  const QAccessible::Role role_;
};

// A popup with a text of its own is a dialog of buttons (the warning); one
// without is a menu of items.
class PopupAccessible final : public QAccessibleWidget {
 public:
  explicit PopupAccessible(QtPopupWidget* widget)
      : QAccessibleWidget(widget, QAccessible::PopupMenu), widget_(widget) {}
  ~PopupAccessible() override {
    for (const QAccessible::Id id : children_) QAccessible::deleteAccessibleInterface(id);
  }

  QAccessible::Role role() const override { return IsDialog() ? QAccessible::Dialog : QAccessible::PopupMenu; }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && IsDialog()) {
      return QString::fromStdU16String(widget_->Handlers()->AccessibleText());
    }
    return QAccessibleWidget::text(t);
  }
  int childCount() const override { return static_cast<int>(ItemsOf(widget_).size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    while (static_cast<int>(children_.size()) <= index) {
      const int next = static_cast<int>(children_.size());
      children_.push_back(QAccessible::registerAccessibleInterface(
          new PopupItemAccessible(widget_.data(), next, IsDialog() ? QAccessible::Button : QAccessible::MenuItem)));
    }
    return QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (std::size_t i = 0; i < children_.size(); ++i) {
      if (QAccessible::accessibleInterface(children_[i]) == child) return static_cast<int>(i);
    }
    return -1;
  }
  QAccessibleInterface* focusChild() const override {
    const int lit = LitIndex();
    return lit >= 0 ? child(lit) : nullptr;
  }

  void AnnounceLit() {
    const int lit = LitIndex();
    if (lit == lastLit_) return;
    lastLit_ = lit;
    if (QAccessibleInterface* item = lit >= 0 ? child(lit) : nullptr) {
      QAccessibleEvent event(item, QAccessible::Focus);
      QAccessible::updateAccessibility(&event);
    }
  }

 private:
  bool IsDialog() const {
    return widget_ && widget_->Handlers() != nullptr && !widget_->Handlers()->AccessibleText().empty();
  }
  int LitIndex() const {
    const std::vector<PopupItem> items = ItemsOf(widget_);
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].lit) return static_cast<int>(i);
    }
    return -1;
  }

  QPointer<QtPopupWidget> widget_;
  mutable std::vector<QAccessible::Id> children_;
  int lastLit_ = -1;
};

}  // namespace

QAccessibleInterface* AccessiblePopupFor(QObject* object) {
  auto* popup = qobject_cast<QtPopupWidget*>(object);
  return popup != nullptr ? new PopupAccessible(popup) : nullptr;
}

void AnnounceLitPopupItem(QObject* popup) {
  if (!QAccessible::isActive() || qobject_cast<QtPopupWidget*>(popup) == nullptr) return;
  if (auto* iface = dynamic_cast<PopupAccessible*>(QAccessible::queryAccessibleInterface(popup))) iface->AnnounceLit();
}

}  // namespace tolvar
