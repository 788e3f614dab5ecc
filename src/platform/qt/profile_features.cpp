#include "platform/qt/profile_features.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "app/window_commands.h"
#include "platform/ini/application_rules_file.h"
#include "platform/linux/kwin_focus_script.h"
#include "platform/qt/application_rules_dialog.h"

namespace tolvar {

namespace {

constexpr std::size_t kSeenWindowsKept = 20;

bool EnvironmentHas(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::u16string RulesNotWrittenMessage(const std::string& path, std::uint8_t verSel) {
  const std::u16string file(path.begin(), path.end());
  if (verSel != 0) return u"The rules could not be written to " + file + u"; nothing was changed.";
  return file + u"에 규칙을 쓸 수 없습니다. 아무것도 바뀌지 않았습니다.";
}

bool IsOwnWindow(const WindowIdentity& window) {
  return window.wmClass == "tolvar" || window.appId == "org.tolvar.tolvar" || window.appId == "tolvar";
}

}  // namespace

std::string ApplicationRulesPath(const std::string& configPath) {
  const std::size_t slash = configPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : configPath.substr(0, slash);
  return folder + "/" + std::string(kApplicationRulesFileName);
}

SessionFacts CurrentSessionFacts(GDBusConnection* bus) {
  return {
      .wayland = EnvironmentHas("WAYLAND_DISPLAY"),
      .x11 = EnvironmentHas("DISPLAY"),
      .kwinOnBus = bus != nullptr && NameHasOwner(bus, "org.kde.KWin"),
      .gnomeShellOnBus = bus != nullptr && NameHasOwner(bus, "org.gnome.Shell"),
  };
}

ProfileFeatures::ProfileFeatures(WindowProfileControl& control, QtTray& tray, QWidget* dialogParent)
    : control_(control),
      tray_(tray),
      dialogParent_(dialogParent),
      bus_(control, {
                        .setProfile = [this](int profile) { return automation_->ChooseProfile(profile); },
                        .apply = [this] { automation_->Apply(); },
                        .windowActivated = [this](const WindowIdentity& window) { WindowActivated(window); },
                    }) {}

ProfileFeatures::~ProfileFeatures() = default;

void ProfileFeatures::Start(const std::string& configPath) {
  rulesPath_ = ApplicationRulesPath(configPath);
  std::string reason;
  const bool onBus = bus_.Start(reason);
  if (!onBus) std::fprintf(stderr, "tolvar: not on the session bus: %s\n", reason.c_str());
  notifications_ = std::make_unique<DesktopNotifications>(onBus ? bus_.Connection() : nullptr);
  automation_ = std::make_unique<ProfileAutomation>(control_, control_, *notifications_);
  ReadRulesWhenChanged();

  control_.AddObserver(bus_);
  control_.AddObserver(*this);
  control_.OnMouseDpiChange([this](int level) { automation_->MouseChangedDpiLevel(level); });
  control_.Refresh();
  StartFocusSource();
}

void ProfileFeatures::StartFocusSource() {
  const SessionFacts facts = CurrentSessionFacts(bus_.Connection());
  focusSource_ = ChooseFocusSource(facts);
  if (focusSource_ == FocusSourceKind::KWin) {
    std::string reason;
    const char* runtimeDir = g_get_user_runtime_dir();
    if (!LoadKWinFocusScript(bus_.Connection(), runtimeDir, reason)) {
      std::fprintf(stderr, "tolvar: the KWin focus script did not load: %s\n", reason.c_str());
      focusSource_ = facts.x11 ? FocusSourceKind::X11 : FocusSourceKind::None;
    }
  }
  if (focusSource_ == FocusSourceKind::X11 &&
      !x11_.Start([this](const WindowIdentity& window) { WindowActivated(window); })) {
    focusSource_ = FocusSourceKind::None;
  }
  bus_.SetFocusSource(FocusSourceName(focusSource_));
}

void ProfileFeatures::WindowActivated(const WindowIdentity& window) {
  // The program's own windows, as the compositor routes report them.
  if (automation_ == nullptr || IsOwnWindow(window)) return;
  ReadRulesWhenChanged();
  std::erase(seenWindows_, window);
  seenWindows_.push_front(window);
  if (seenWindows_.size() > kSeenWindowsKept) seenWindows_.pop_back();
  automation_->WindowActivated(window);
}

void ProfileFeatures::ReadRulesWhenChanged() {
  const FileIdentity version = InspectFile(rulesPath_).identity;
  if (rulesRead_ && version == rulesVersion_) return;
  rulesVersion_ = version;
  rulesRead_ = true;
  automation_->SetRules(LoadApplicationRules(rulesPath_).rules);
}

bool ProfileFeatures::OnCommand(int command) {
  if (command != kApplicationRulesCommand) return false;
  OpenRulesDialog();
  return true;
}

void ProfileFeatures::OpenRulesDialog() {
  if (automation_ == nullptr) return;
  const LoadedApplicationRules loaded = LoadApplicationRules(rulesPath_);
  const std::uint8_t verSel = control_.Language();
  std::vector<WindowIdentity> windows = x11_.OpenWindows();
  windows.insert(windows.end(), seenWindows_.begin(), seenWindows_.end());
  ApplicationRulesDialog dialog(dialogParent_, loaded.rules, windows, verSel);
  if (dialog.exec() != QDialog::Accepted) return;
  const ApplicationRules rules = dialog.Rules();
  if (!loaded.writable || !SaveApplicationRules(rulesPath_, rules)) {
    QMessageBox::warning(dialogParent_, dialog.windowTitle(),
                         QString::fromStdU16String(RulesNotWrittenMessage(rulesPath_, verSel)));
    return;
  }
  automation_->SetRules(rules);
  rulesVersion_ = InspectFile(rulesPath_).identity;
  // The rules take effect at once, for the window that was in front.
  if (!seenWindows_.empty()) automation_->WindowActivated(seenWindows_.front());
}

void ProfileFeatures::ProfileChanged(int) { ShowTip(); }

void ProfileFeatures::DpiLevelChanged(int) { ShowTip(); }

void ProfileFeatures::ShowTip() {
  tray_.SetToolTip(TrayTipText(control_.Profile(), control_.DpiValue(control_.DpiLevel()), control_.Language()));
}

}  // namespace tolvar
