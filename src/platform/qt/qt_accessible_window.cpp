#include "platform/qt/qt_accessible_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QWindow>

#include "platform/qt/qt_accessible_popup.h"
#include "platform/qt/qt_macro_controls.h"

namespace tolvar {

namespace {

AccessibleWindowControls* gInstance = nullptr;

QAccessible::Role RoleOf(ControlRole role) {
  switch (role) {
    case ControlRole::CheckBox:
      return QAccessible::CheckBox;
    case ControlRole::RadioButton:
      return QAccessible::RadioButton;
    case ControlRole::PageTab:
      return QAccessible::PageTab;
    case ControlRole::Slider:
      return QAccessible::Slider;
    case ControlRole::PushButton:
      break;
  }
  return QAccessible::Button;
}

std::pair<int, int> KeyOf(ControlId id) { return {static_cast<int>(id.list), id.row}; }

// One painted control. It looks its control up in the owner's last list,
// so it answers for the state that was painted last.
class ControlAccessible final : public QAccessibleInterface,
                                public QAccessibleActionInterface,
                                public QAccessibleValueInterface {
 public:
  ControlAccessible(AccessibleWindowControls& owner, ControlId id) : owner_(owner), id_(id) {}

  bool isValid() const override { return Control() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return owner_.Window().windowHandle(); }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(&owner_.Window()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    const WindowControl* control = Control();
    if (control == nullptr) return {};
    switch (t) {
      case QAccessible::Name:
        return QString::fromStdU16String(control->name);
      case QAccessible::Description:
        return QString::fromStdU16String(control->description);
      case QAccessible::Value:
        return control->value ? QString::number(control->value->current) : QString();
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    const WindowControl* control = Control();
    if (control == nullptr) return {};
    const QPoint origin = owner_.Window().mapToGlobal(QPoint(control->spot.x, control->spot.y));
    return {origin, QSize(control->spot.width, control->spot.height)};
  }

  QAccessible::Role role() const override {
    const WindowControl* control = Control();
    return control != nullptr ? RoleOf(control->role) : QAccessible::NoRole;
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    const WindowControl* control = Control();
    if (control == nullptr) {
      s.invisible = true;
      return s;
    }
    s.focusable = true;
    const KeyboardFocus focus = owner_.Focus();
    s.focused = focus.shown && focus.control == id_ && owner_.Window().hasFocus();
    s.disabled = control->unavailable;
    switch (control->role) {
      case ControlRole::CheckBox:
      case ControlRole::RadioButton:
        s.checkable = true;
        s.checked = control->checked;
        break;
      case ControlRole::PageTab:
        s.selectable = true;
        s.selected = control->checked;
        s.checkable = true;
        s.checked = control->checked;
        break;
      case ControlRole::PushButton:
      case ControlRole::Slider:
        break;
    }
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    if (type == QAccessible::ValueInterface && role() == QAccessible::Slider) {
      return static_cast<QAccessibleValueInterface*>(this);
    }
    return nullptr;
  }

  // QAccessibleActionInterface
  QStringList actionNames() const override {
    if (role() == QAccessible::Slider) return {increaseAction(), decreaseAction()};
    return {pressAction()};
  }
  void doAction(const QString& name) override {
    const WindowControl* control = Control();
    if (control == nullptr) return;
    if (name == pressAction() && control->role != ControlRole::Slider) owner_.Press(id_);
    if (control->value && (name == increaseAction() || name == decreaseAction())) {
      owner_.SetValue(id_, control->value->current + (name == increaseAction() ? 1 : -1));
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

  // QAccessibleValueInterface
  QVariant currentValue() const override { return Value(&ControlValue::current); }
  void setCurrentValue(const QVariant& value) override { owner_.SetValue(id_, value.toInt()); }
  QVariant maximumValue() const override { return Value(&ControlValue::maximum); }
  QVariant minimumValue() const override { return Value(&ControlValue::minimum); }
  QVariant minimumStepSize() const override { return 1; }

 private:
  const WindowControl* Control() const { return FindControl(owner_.Current(), id_); }
  QVariant Value(int ControlValue::*field) const {
    const WindowControl* control = Control();
    if (control == nullptr || !control->value) return {};
    return (*control->value).*field;
  }

  AccessibleWindowControls& owner_;
  const ControlId id_;
};

// The main window: its child widgets first, then the painted controls.
class WindowAccessible final : public QAccessibleWidget {
 public:
  WindowAccessible(QWidget* window, AccessibleWindowControls& owner)
      : QAccessibleWidget(window, QAccessible::Window), owner_(owner) {}

  int childCount() const override { return WidgetCount() + static_cast<int>(owner_.Current().size()); }

  QAccessibleInterface* child(int index) const override {
    const int widgets = WidgetCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    const std::size_t control = static_cast<std::size_t>(index - widgets);
    if (control >= owner_.Current().size()) return nullptr;
    return owner_.InterfaceFor(owner_.Current()[control].id);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const int widgets = WidgetCount();
    const auto& controls = owner_.Current();
    for (std::size_t i = 0; i < controls.size(); ++i) {
      if (owner_.InterfaceFor(controls[i].id) == child) return widgets + static_cast<int>(i);
    }
    return QAccessibleWidget::indexOfChild(child);
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint local = owner_.Window().mapFromGlobal(QPoint(x, y));
    if (QAccessibleInterface* widget = QAccessibleWidget::childAt(x, y)) return widget;
    for (const WindowControl& control : owner_.Current()) {
      if (control.spot.Contains(local.x(), local.y())) return owner_.InterfaceFor(control.id);
    }
    return nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    const KeyboardFocus focus = owner_.Focus();
    if (focus.shown && FindControl(owner_.Current(), focus.control) != nullptr) {
      return owner_.InterfaceFor(focus.control);
    }
    return QAccessibleWidget::focusChild();
  }

 private:
  int WidgetCount() const { return QAccessibleWidget::childCount(); }

  AccessibleWindowControls& owner_;
};

void Announce(QAccessibleEvent&& event) { QAccessible::updateAccessibility(&event); }

// Each repaint of a skinned popup may light another item.
class PopupPaints final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) AnnounceLitPopupItem(watched);
    return false;
  }
};

}  // namespace

AccessibleWindowControls::AccessibleWindowControls(QWidget& window, AccessibleControlSource source)
    : window_(window), source_(std::move(source)) {
  gInstance = this;
  current_ = source_.controls();
  focus_ = source_.focus();
  QAccessible::installFactory(&AccessibleWindowControls::Factory);
  popupPaints_ = std::make_unique<PopupPaints>();
  qApp->installEventFilter(popupPaints_.get());
}

AccessibleWindowControls::~AccessibleWindowControls() {
  QAccessible::removeFactory(&AccessibleWindowControls::Factory);
  for (const auto& [key, id] : ids_) QAccessible::deleteAccessibleInterface(id);
  gInstance = nullptr;
}

QAccessibleInterface* AccessibleWindowControls::Factory(const QString&, QObject* object) {
  if (gInstance != nullptr && object == &gInstance->window_)
    return new WindowAccessible(&gInstance->window_, *gInstance);
  return AccessiblePopupFor(object);
}

QAccessibleInterface* AccessibleWindowControls::InterfaceFor(ControlId id) {
  const auto key = KeyOf(id);
  auto found = ids_.find(key);
  if (found == ids_.end()) {
    found = ids_.emplace(key, QAccessible::registerAccessibleInterface(new ControlAccessible(*this, id))).first;
  }
  return QAccessible::accessibleInterface(found->second);
}

void AccessibleWindowControls::Press(ControlId id) const {
  QMetaObject::invokeMethod(
      &window_, [press = source_.press, id] { press(id); }, Qt::QueuedConnection);
}

void AccessibleWindowControls::SetValue(ControlId id, int value) const {
  QMetaObject::invokeMethod(
      &window_, [set = source_.setValue, id, value] { set(id, value); }, Qt::QueuedConnection);
}

void AccessibleWindowControls::NameWidgets() {
  for (const WidgetName& widget : source_.widgetNames()) {
    auto* child = window_.findChild<QWidget*>(ControlName(widget.id), Qt::FindDirectChildrenOnly);
    const QString name = QString::fromStdU16String(widget.name);
    if (child != nullptr && child->accessibleName() != name) child->setAccessibleName(name);
  }
}

void AccessibleWindowControls::Refresh() {
  NameWidgets();
  const std::vector<WindowControl> before = std::move(current_);
  const KeyboardFocus focusBefore = focus_;
  current_ = source_.controls();
  focus_ = source_.focus();
  if (!QAccessible::isActive()) return;
  for (const ControlChange& change : ChangesBetween(before, focusBefore, current_, focus_)) {
    QAccessibleInterface* iface = InterfaceFor(change.id);
    const WindowControl* control = FindControl(current_, change.id);
    switch (change.kind) {
      case ChangeKind::Shown:
        Announce(QAccessibleEvent(iface, QAccessible::ObjectShow));
        break;
      case ChangeKind::Hidden:
        Announce(QAccessibleEvent(iface, QAccessible::ObjectHide));
        break;
      case ChangeKind::Checked:
      case ChangeKind::Availability: {
        QAccessible::State changed;
        changed.checked = change.kind == ChangeKind::Checked;
        changed.selected = changed.checked && control->role == ControlRole::PageTab;
        changed.disabled = change.kind == ChangeKind::Availability;
        Announce(QAccessibleStateChangeEvent(iface, changed));
        break;
      }
      case ChangeKind::Name:
        Announce(QAccessibleEvent(iface, QAccessible::NameChanged));
        break;
      case ChangeKind::Value:
        Announce(QAccessibleValueChangeEvent(iface, control->value->current));
        break;
      case ChangeKind::Focus:
        Announce(QAccessibleEvent(iface, QAccessible::Focus));
        break;
    }
  }
}

}  // namespace tolvar
