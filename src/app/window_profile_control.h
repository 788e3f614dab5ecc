// ProfileControl over today's main window and its state, and the watch that
// raises ProfileObserver when the window, the mouse or the bus changed the
// profile, the DPI level or the connection.
#pragma once

#include <functional>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/profile_automation.h"
#include "app/profile_control.h"
#include "ports/ini_store.h"
#include "ports/window_host.h"

namespace tolvar {

class WindowProfileControl final : public ProfileControl, public NoticeFacts {
 public:
  WindowProfileControl(CTolvarDlg& dialog, AppState& state, IniStore& ini);

  void AddObserver(ProfileObserver& observer) { observers_.push_back(&observer); }
  // Told when the mouse's DPI button changed the level in use.
  void OnMouseDpiChange(std::function<void(int level)> listener) { mouseDpi_ = std::move(listener); }

  // After anything the window handled: raises the observers for each value
  // that differs from what they were last told.
  void Refresh();
  // A worker thread asked for a repaint (posted to the user-interface
  // thread): the player takes a DPI level over from the mouse this way.
  void WorkerRepainted();

  // ProfileControl
  int Profile() const override;
  int DpiLevel() const override;
  bool Connected() const override;
  // True when the window's settings differ from the profile's section in the
  // configuration file, which is what the last load, save or Apply left
  // there (the DPI take-over saves its level there too).
  bool HasUnsavedChanges() const override;
  void ChooseProfileAndApply(int profile) override;
  void Apply() override;

  // NoticeFacts
  std::uint8_t Language() const override { return state_.VER_SEL; }
  int DpiValue(int level) const override;

 private:
  CTolvarDlg& dialog_;
  AppState& state_;
  IniStore& ini_;
  std::vector<ProfileObserver*> observers_;
  std::function<void(int)> mouseDpi_;
  int toldProfile_ = -1;
  int toldDpiLevel_ = -1;
  int toldConnected_ = -1;
};

// The main window's host as the core sees it, with one addition: a repaint
// asked for from another thread than the user-interface thread also runs
// `onWorkerRepaint` on the user-interface thread.
class WorkerRepaintWatch final : public WindowHost {
 public:
  WorkerRepaintWatch(WindowHost& host, std::function<void()> onWorkerRepaint)
      : host_(host), onWorkerRepaint_(std::move(onWorkerRepaint)), uiThread_(std::this_thread::get_id()) {}

  void SetTitle(const std::u16string& title) override { host_.SetTitle(title); }
  void Invalidate() override;
  void InvalidateRegion(const Region& region) override { host_.InvalidateRegion(region); }
  void UpdateNow() override { host_.UpdateNow(); }
  Point ScreenOrigin() const override { return host_.ScreenOrigin(); }
  void StartDrag() override { host_.StartDrag(); }
  void Show() override { host_.Show(); }
  void ShowMinimized() override { host_.ShowMinimized(); }
  void Restore() override { host_.Restore(); }
  void Hide() override { host_.Hide(); }
  bool IsMinimized() const override { return host_.IsMinimized(); }
  void Destroy() override { host_.Destroy(); }
  void PostToUi(std::function<void()> task) override { host_.PostToUi(std::move(task)); }
  void SetShape(const MaskShape& shape) override { host_.SetShape(shape); }

 private:
  WindowHost& host_;
  std::function<void()> onWorkerRepaint_;
  std::thread::id uiThread_;
};

}  // namespace tolvar
