// The desktop's file and colour dialogs (Qt's, which use the desktop's own
// where it offers them) and its web browser.
#pragma once

#include <QTranslator>
#include <QWidget>
#include <memory>

#include "ports/desktop_dialogs.h"

namespace tolvar {

// The filter a file dialog shows: the filter name, followed by the
// pattern in parentheses unless the name ends with it already.
QString FileDialogFilter(const FileDialogOptions& options);

// Qt's own translations of its dialogs, from the folder Debian installs
// them in; English needs none.
class QtDesktopDialogs final : public DesktopDialogs {
 public:
  explicit QtDesktopDialogs(QWidget& owner) : owner_(owner) {}
  ~QtDesktopDialogs() override;

  std::optional<std::string> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  void OpenPage(const std::string& file) override;
  // Also the message boxes' buttons: the translation is the application's.
  void SetLanguage(std::uint8_t verSel) override;

 private:
  QWidget& owner_;
  std::unique_ptr<QTranslator> translator_;
};

}  // namespace tolvar
