// The main window's window menu, opened with Alt+Space over the frameless
// window: restore, minimise and close, then the items the program appends;
// a choice arrives as a system command. Also the About box, a QDialog.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QWidget>
#include <functional>
#include <memory>

#include "ports/window_menu.h"

namespace tolvar {

// The About box: the title, the program icon, the text and an OK button
// that closes it.
std::unique_ptr<QDialog> CreateAboutBox(QWidget* parent, const QIcon& icon, const AboutBoxTexts& texts);

class QtWindowMenu final : public WindowMenu {
 public:
  // The menu and its shortcut belong to `window` (Qt deletes them with it).
  QtWindowMenu(QWidget* window, const QIcon& icon, std::function<void(int command)> onSysCommand);
  ~QtWindowMenu() override;
  QtWindowMenu(const QtWindowMenu&) = delete;
  QtWindowMenu& operator=(const QtWindowMenu&) = delete;

  void AppendSeparator() override;
  void AppendItem(int command, const std::u16string& text) override;
  void ShowAboutBox(const AboutBoxTexts& texts) override;

  // Opens the menu at the window's top-left corner.
  void Open();
  QMenu& Menu() { return *menu_; }

 private:
  QAction* AddCommand(const QString& text, int command);

  QPointer<QWidget> window_;
  QIcon icon_;
  std::function<void(int)> onSysCommand_;
  QPointer<QMenu> menu_;
  QPointer<QShortcut> shortcut_;
  QAction* restore_ = nullptr;
};

}  // namespace tolvar
