// The desktop's file and colour dialogs (Qt's, which use the desktop's own
// where it offers them) and its web browser.
#pragma once

#include <QWidget>

#include "ports/desktop_dialogs.h"

namespace tolvar {

class QtDesktopDialogs final : public DesktopDialogs {
 public:
  explicit QtDesktopDialogs(QWidget& owner) : owner_(owner) {}

  std::optional<std::string> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  void OpenPage(const std::string& file) override;

 private:
  QWidget& owner_;
};

}  // namespace tolvar
