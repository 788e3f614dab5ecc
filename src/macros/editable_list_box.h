// CEditableListBox: the event list's in-place editing. A line is edited in
// an edit laid over it; the edit starts on character code 1 (Ctrl+A, or
// "Modify Delay") and, while that code is pending, on Insert or a right
// click on the selected line; Enter or the loss of focus keeps the text,
// Escape drops it, resizing or scrolling the list keeps it. Every end of an
// edit is reported with the edited line.
#pragma once

#include <functional>

#include "macros/key_table.h"
#include "ports/macro_controls.h"

namespace tolvar {

constexpr int kEditStartCharacter = 1;
constexpr int kLineEditMargin = 2;  // the edit reaches this far above and below its line

class CEditableListBox final : public EventListEvents {
 public:
  // `editEnded` gets the line that was edited, −1 when none was.
  explicit CEditableListBox(std::function<void(int line)> editEnded) : editEnded_(std::move(editEnded)) {}

  // The list's window, or null while it does not exist.
  void Attach(EventListControl* list);

  void OnChar(int character) override;
  void OnKeyUp(int virtualKey) override;
  void OnRightButtonUp(int x, int y) override;
  void OnSize() override { EndEdit(true); }
  void OnScroll() override { EndEdit(true); }
  void OnLineEditKeyUp(int virtualKey) override;
  void OnLineEditFocusLost() override { EndEdit(true); }

  void BeginEdit();
  void EndEdit(bool keep);
  int EditingIndex() const { return editingIndex_; }

 private:
  std::function<void(int line)> editEnded_;
  EventListControl* list_ = nullptr;
  int editingIndex_ = -1;
  int editTrigger_ = 0;
};

}  // namespace tolvar
