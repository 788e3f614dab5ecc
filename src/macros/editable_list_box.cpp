#include "macros/editable_list_box.h"

namespace tolvar {

namespace {

bool Contains(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

void CEditableListBox::Attach(EventListControl* list) {
  list_ = list;
  editingIndex_ = -1;
}

void CEditableListBox::OnChar(int character) {
  editTrigger_ = character;
  BeginEdit();
}

void CEditableListBox::OnKeyUp(int virtualKey) {
  if (virtualKey == kVkInsert) BeginEdit();
}

void CEditableListBox::OnRightButtonUp(int x, int y) {
  if (list_ == nullptr) return;
  const int line = list_->Selection();
  if (line >= 0 && Contains(list_->LineRect(line), x, y)) BeginEdit();
}

void CEditableListBox::OnLineEditKeyUp(int virtualKey) {
  if (virtualKey == kVkReturn) EndEdit(true);
  if (virtualKey == kVkEscape) EndEdit(false);
}

void CEditableListBox::BeginEdit() {
  if (editTrigger_ != kEditStartCharacter || list_ == nullptr) return;
  editTrigger_ = 0;
  const int line = list_->Selection();
  if (line < 0 || line >= list_->Count()) return;
  Rect rect = list_->LineRect(line);
  rect.top -= kLineEditMargin;
  rect.bottom += kLineEditMargin;
  list_->OpenLineEdit(rect, list_->Text(line));
  editingIndex_ = line;
}

void CEditableListBox::EndEdit(bool keep) {
  if (list_ == nullptr || !list_->HasLineEdit()) return;
  const int line = editingIndex_;
  if (keep && line != -1) {
    const std::u16string edited = list_->LineEditText();
    if (list_->Text(line) != edited) {
      list_->DeleteLine(line);
      list_->InsertLine(line, edited);
      list_->SetSelection(line);
    }
  }
  editingIndex_ = -1;
  list_->CloseLineEdit();
  editEnded_(line);
}

}  // namespace tolvar
