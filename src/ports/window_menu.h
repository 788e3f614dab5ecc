// The main window's own window menu (restore, minimise, close and the items
// the program appends) and the About box.
#pragma once

#include <string>

namespace tolvar {

struct AboutBoxTexts {
  std::u16string title;
  std::u16string text;
};

class WindowMenu {
 public:
  virtual ~WindowMenu() = default;
  virtual void AppendSeparator() = 0;
  // A chosen item arrives as a system command with this id.
  virtual void AppendItem(int command, const std::u16string& text) = 0;
  // Shows the About box with the program icon and an OK button; returns
  // when it is closed.
  virtual void ShowAboutBox(const AboutBoxTexts& texts) = 0;
};

}  // namespace tolvar
