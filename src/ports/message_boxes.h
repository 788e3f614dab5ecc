// Message boxes and the other modal dialogs the core shows.
#pragma once

#include <string>

namespace tolvar {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal message box with an OK button; returns when it is closed.
  virtual void MessageBox(const std::u16string& text, const std::u16string& caption) = 0;
};

}  // namespace tolvar
