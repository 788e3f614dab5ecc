#include "app/window_profile_control.h"

#include "config/config_file.h"

namespace tolvar {

WindowProfileControl::WindowProfileControl(CTolvarDlg& dialog, AppState& state, IniStore& ini)
    : dialog_(dialog), state_(state), ini_(ini) {}

void WindowProfileControl::Refresh() {
  const int profile = Profile();
  const int level = DpiLevel();
  const int connected = Connected() ? 1 : 0;
  if (profile != toldProfile_) {
    toldProfile_ = profile;
    for (ProfileObserver* observer : observers_) observer->ProfileChanged(profile);
  }
  if (level != toldDpiLevel_) {
    toldDpiLevel_ = level;
    for (ProfileObserver* observer : observers_) observer->DpiLevelChanged(level);
  }
  if (connected != toldConnected_) {
    toldConnected_ = connected;
    for (ProfileObserver* observer : observers_) observer->ConnectedChanged(connected != 0);
  }
}

void WindowProfileControl::WorkerRepainted() {
  const int before = toldDpiLevel_;
  Refresh();
  if (toldDpiLevel_ != before && before >= 0 && mouseDpi_) mouseDpi_(toldDpiLevel_);
}

int WindowProfileControl::Profile() const { return state_.CurConfig; }

int WindowProfileControl::DpiLevel() const { return state_.Settings.DPI_LEVEL; }

bool WindowProfileControl::Connected() const { return state_.Link.Device.Connected; }

bool WindowProfileControl::HasUnsavedChanges() const {
  const std::u16string section = ProfileSectionName(state_.CurConfig);
  const ProfileSettings saved = ReadProfileSettings(ini_, state_.Paths.ConfigPath, section);
  const std::vector<IniEntry> held = ProfileEntries(section, state_.Settings);
  const std::vector<IniEntry> stored = ProfileEntries(section, saved);
  if (held.size() != stored.size()) return true;
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (held[i].key != stored[i].key || held[i].value != stored[i].value) return true;
  }
  return false;
}

void WindowProfileControl::ChooseProfileAndApply(int profile) {
  dialog_.Model().ChooseProfile(profile);
  dialog_.Model().Apply();
  Refresh();
}

void WindowProfileControl::Apply() {
  dialog_.Model().Apply();
  Refresh();
}

int WindowProfileControl::DpiValue(int level) const {
  if (level < 0 || level >= kDpiLevelCount) return 0;
  return DpiStepFor(state_.Settings.DPI_SET[static_cast<std::size_t>(level)]).dpi;
}

void WorkerRepaintWatch::Invalidate() {
  host_.Invalidate();
  if (std::this_thread::get_id() != uiThread_) host_.PostToUi(onWorkerRepaint_);
}

}  // namespace tolvar
