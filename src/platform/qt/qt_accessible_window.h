// The main window's painted controls as accessible objects: the window's
// interface lists its Qt child widgets and then one object per control of
// the page shown (role, name, state, value, the press action), and each
// repaint announces what changed, so a screen reader follows. The skinned
// popups get their interfaces from the same factory.
#pragma once

#include <QAccessible>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "app/control_id.h"
#include "app/window_controls.h"

namespace tolvar {

// What the accessible objects read of the window and do through it.
struct AccessibleControlSource {
  std::function<std::vector<WindowControl>()> controls;
  std::function<KeyboardFocus()> focus;
  std::function<void(ControlId)> press;
  std::function<void(ControlId, int)> setValue;
  std::function<std::vector<WidgetName>()> widgetNames;  // the names of the window's child widgets
};

class AccessibleWindowControls {
 public:
  // Installs the interface factory for `window`; one at a time.
  AccessibleWindowControls(QWidget& window, AccessibleControlSource source);
  ~AccessibleWindowControls();
  AccessibleWindowControls(const AccessibleWindowControls&) = delete;
  AccessibleWindowControls& operator=(const AccessibleWindowControls&) = delete;

  // After each paint: the changes of names, states, values, the focus and
  // the controls shown since the last call are announced.
  void Refresh();

  // For the interfaces.
  QWidget& Window() const { return window_; }
  const std::vector<WindowControl>& Current() const { return current_; }
  KeyboardFocus Focus() const { return focus_; }
  QAccessibleInterface* InterfaceFor(ControlId id);
  // Presses or sets a control once the event loop is back (a press may run a modal popup).
  void Press(ControlId id) const;
  void SetValue(ControlId id, int value) const;

 private:
  static QAccessibleInterface* Factory(const QString& className, QObject* object);
  void NameWidgets();

  QWidget& window_;
  AccessibleControlSource source_;
  std::vector<WindowControl> current_;
  KeyboardFocus focus_;
  std::map<std::pair<int, int>, QAccessible::Id> ids_;  // (list, row) to the registered interface
  std::unique_ptr<QObject> popupPaints_;                // announces the popups' lit items
};

}  // namespace tolvar
