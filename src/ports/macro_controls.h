// The four standard controls of the advanced page: two edits, the macro
// list and the event list with its in-place edit. Rectangles are in the
// main window's coordinates when a control is made, in the control's own
// (client) coordinates for lines, and on the screen where said.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/geometry.h"

namespace tolvar {

class EditControl {
 public:
  virtual ~EditControl() = default;
  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void SetFocus() = 0;
};

// A list of text lines in the order they were put in (never sorted).
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual int Count() const = 0;
  virtual std::u16string Text(int line) const = 0;
  virtual void AddLine(const std::u16string& text) = 0;
  virtual void InsertLine(int line, const std::u16string& text) = 0;
  virtual void DeleteLine(int line) = 0;
  // The selected line, −1 when none.
  virtual int Selection() const = 0;
  // Selects `line`; a line that does not exist leaves no selection.
  virtual void SetSelection(int line) = 0;
  virtual int LineHeight() const = 0;
  // The first line shown.
  virtual int TopLine() const = 0;
  // The rectangle of `line` in the list's client coordinates.
  virtual Rect LineRect(int line) const = 0;
  // The client rectangle on the screen.
  virtual Rect ScreenRect() const = 0;
  virtual void SetFocus() = 0;
};

// The event list, with an edit that can lie over one of its lines.
class EventListControl : public ListControl {
 public:
  // Opens the edit over `rect` (client coordinates) with the list's font,
  // `text` all selected, and the keyboard focus.
  virtual void OpenLineEdit(const Rect& rect, const std::u16string& text) = 0;
  virtual bool HasLineEdit() const = 0;
  virtual std::u16string LineEditText() const = 0;
  // Removes the edit; its loss of focus on the way is not reported.
  virtual void CloseLineEdit() = 0;
};

// What the event list reports, on the user-interface thread.
class EventListEvents {
 public:
  virtual ~EventListEvents() = default;
  virtual void OnChar(int character) = 0;
  virtual void OnKeyUp(int virtualKey) = 0;
  // The right button released at (x, y) in client coordinates.
  virtual void OnRightButtonUp(int x, int y) = 0;
  virtual void OnSize() = 0;
  virtual void OnScroll() = 0;
  // Of the line edit: a key released in it, and its loss of the focus.
  virtual void OnLineEditKeyUp(int virtualKey) = 0;
  virtual void OnLineEditFocusLost() = 0;
};

class MacroControlFactory {
 public:
  virtual ~MacroControlFactory() = default;
  // An edit with centred text; Enter does not leave it.
  virtual std::unique_ptr<EditControl> CreateEdit(const Rect& area, int id) = 0;
  // A list with a vertical scroll bar; `selectionChanged` is called when
  // the user changes the selection.
  virtual std::unique_ptr<ListControl> CreateList(const Rect& area, int id, std::function<void()> selectionChanged) = 0;
  virtual std::unique_ptr<EventListControl> CreateEventList(const Rect& area, int id, EventListEvents& events) = 0;
};

}  // namespace tolvar
