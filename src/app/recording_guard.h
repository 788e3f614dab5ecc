// The ports through which the main window opens dialogs and menus and
// hides itself, each ending a running macro recording first (as Stop
// would): a dialog must get the keys typed into it, a menu cannot open
// without the keyboard (it could then not be closed), a hidden window must
// not keep the keyboard from the desktop.
#pragma once

#include <functional>

#include "ports/desktop_dialogs.h"
#include "ports/message_boxes.h"
#include "ports/tray.h"
#include "ports/window_host.h"
#include "ports/window_menu.h"

namespace tolvar {

class RecordingGuard final : public MessageBoxes,
                             public DesktopDialogs,
                             public WindowHost,
                             public WindowMenu,
                             public TrayIcon {
 public:
  // `endRecording` ends a recording and does nothing when none runs.
  RecordingGuard(MessageBoxes& dialogs, DesktopDialogs& desktop, WindowHost& window, WindowMenu& menu, TrayIcon& tray,
                 std::function<void()> endRecording);

  void MessageBox(const std::u16string& text, const std::u16string& caption) override;

  std::optional<std::string> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const FileDialogOptions& options) override;
  std::optional<Rgb> ChooseColour(Rgb initial) override;
  void OpenPage(const std::string& file) override;
  void SetLanguage(std::uint8_t verSel) override { desktop_.SetLanguage(verSel); }

  void SetTitle(const std::u16string& title) override { window_.SetTitle(title); }
  void Invalidate() override { window_.Invalidate(); }
  void InvalidateRegion(const Region& region) override { window_.InvalidateRegion(region); }
  void UpdateNow() override { window_.UpdateNow(); }
  Point ScreenOrigin() const override { return window_.ScreenOrigin(); }
  void StartDrag() override { window_.StartDrag(); }
  void Show() override { window_.Show(); }
  void ShowMinimized() override;
  void Restore() override { window_.Restore(); }
  void Hide() override;
  bool IsMinimized() const override { return window_.IsMinimized(); }
  void Destroy() override;
  void PostToUi(std::function<void()> task) override { window_.PostToUi(std::move(task)); }
  void SetShape(const MaskShape& shape) override { window_.SetShape(shape); }

  void AppendSeparator() override { menu_.AppendSeparator(); }
  void AppendItem(int command, const std::u16string& text) override { menu_.AppendItem(command, text); }
  void ShowAboutBox(const AboutBoxTexts& texts) override;

  bool IsAvailable() const override { return tray_.IsAvailable(); }
  bool Add(int iconId, const std::u16string& tip) override { return tray_.Add(iconId, tip); }
  void Remove(int iconId) override { tray_.Remove(iconId); }
  void ShowMenuAtCursor(const std::vector<MenuItem>& items) override;

 private:
  void EndRecording() const;

  MessageBoxes& dialogs_;
  DesktopDialogs& desktop_;
  WindowHost& window_;
  WindowMenu& menu_;
  TrayIcon& tray_;
  std::function<void()> endRecording_;
};

}  // namespace tolvar
