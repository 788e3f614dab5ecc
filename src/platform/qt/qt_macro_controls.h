// The advanced page's controls as Qt widgets, children of the main window:
// line edits with centred text, and list widgets that keep lines in the
// order given, with no editing or selection behaviour of Qt's own beyond a
// single selection. The event list forwards its keys, right-button
// releases, resizing and scrolling, and those of its line edit, to the core.
#pragma once

#include <QWidget>

#include "ports/macro_controls.h"

namespace tolvar {

class QtMacroControls final : public MacroControlFactory {
 public:
  explicit QtMacroControls(QWidget& parent) : parent_(parent) {}

  std::unique_ptr<EditControl> CreateEdit(const Rect& area, int id) override;
  std::unique_ptr<ListControl> CreateList(const Rect& area, int id, std::function<void()> selectionChanged) override;
  std::unique_ptr<EventListControl> CreateEventList(const Rect& area, int id, EventListEvents& events) override;

 private:
  QWidget& parent_;
};

// The object name each control carries: "control" and its id.
QString ControlName(int id);

}  // namespace tolvar
