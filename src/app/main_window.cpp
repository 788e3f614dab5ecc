#include "app/main_window.h"

#include <chrono>

#include "app/apply_settings.h"
#include "app/main_window_shape.h"
#include "app/startup.h"
#include "app/state_loading.h"
#include "config/config_file.h"
#include "device/device_link.h"
#include "macros/macro_file.h"

namespace tolvar {

CTolvarDlg::CTolvarDlg(AppState& state, MainWindowPorts ports, std::u16string commandLine)
    : state_(state),
      ports_(ports),
      commandLine_(std::move(commandLine)),
      commands_(state, ports.window, ports.tray, ports.windowMenu, [this] { Apply(); }),
      profiles_(
          state, {ports.ini, ports.dialogs, ports.desktop, ports.window}, [this] { return SkinFiles(); },
          [this] { return ApplyAndSave(); }, [this] { macroPage_.RefreshMacroList(); }),
      macroPage_(state,
                 {ports.macroEditor.controls, ports.macroEditor.keys, ports.macroEditor.time, ports.macroEditor.menus,
                  ports.dialogs, ports.desktop, ports.ini, ports.window},
                 menus_.eventMenu) {}

CTolvarDlg::~CTolvarDlg() = default;

bool CTolvarDlg::OnInitDialog() {
  AppPaths& paths = state_.Paths;

  state_.PlayRequest = 0;
  state_.StopRequest = 0;

  workers_ = StartWorkers(state_, {ports_.window, ports_.ini, ports_.clock, ports_.programs, ports_.threadPriority});

  AddAboutItem(ports_.windowMenu);

  state_.ButtonIndexByNumber = BuildButtonIndexByNumber();

  const AppPaths computed = ComputePaths(paths, 0);
  paths.SkinsDir = computed.SkinsDir;
  paths.ConfigPath = computed.ConfigPath;
  paths.FixedMacroPath = computed.FixedMacroPath;
  paths.MaskImagePath = computed.MaskImagePath;

  state_.CurConfig = ReadCurConfig(ports_.ini, paths.ConfigPath);
  state_.VER_SEL = ReadLanguage(ports_.ini, paths.ConfigPath);
  LoadProfile(state_, ports_.ini, ports_.dialogs, paths.ConfigPath, state_.CurConfig, ProfileSource::OwnSection, true);

  ports_.window.SetTitle(kWindowTitle);

  // A missing layout file ends the program; nothing after it runs.
  const SkinSource skinFiles = SkinFiles();
  if (!LoadMainSkin(skinFiles, state_.Skin) || !LoadColourSkin(skinFiles, state_.Skin) ||
      !LoadAdvancedSkin(skinFiles, state_.Skin) || !LoadWarningSkin(skinFiles, state_.Skin)) {
    return true;
  }
  ports_.window.SetShape(ShapeMainWindow(state_, ports_.images));

  paths.MacroFilePath = MacroFilePathFor(paths, state_.VER_SEL);
  LoadUserMacros(state_, ports_.ini, ports_.dialogs, paths.MacroFilePath, kMacroSection);
  LoadFixedMacros(state_, ports_.ini, ports_.dialogs, paths.FixedMacroPath);
  macroPage_.SelectLastEventLine();
  menus_.Load(state_.VER_SEL);

  state_.Link.Connected = OpenDeviceLink(state_.Link, ports_.hid, state_.Reporter);
  if (!state_.Link.PermissionDenied.empty()) {
    ports_.dialogs.MessageBox(PermissionDeniedMessage(state_.Link.PermissionDenied), state_.ApplicationName);
  }
  if (!state_.Link.Connected) {
    EndWithoutMouse();
    return true;
  }

  ports_.clock.SleepUntil(ports_.clock.Now() + std::chrono::milliseconds(5));
  Apply();

  commands_.AddTrayIcon();

  if (HasHideSwitch(commandLine_)) state_.StartHidden = true;
  return true;
}

void CTolvarDlg::EndWithoutMouse() {
  ports_.dialogs.MessageBox(PlugInMessage(kWindowTitle), state_.ApplicationName);
  commands_.ExitProgram();
}

SkinSource CTolvarDlg::SkinFiles() {
  return {ports_.ini, ports_.dialogs, state_.ApplicationName, state_.Paths.SkinsDir, state_.VER_SEL, [this] {
            commands_.ExitProgram();
          }};
}

void CTolvarDlg::Apply() { ReportSaveFailures(ports_.dialogs, state_.ApplicationName, state_.VER_SEL, ApplyAndSave()); }

SaveFailures CTolvarDlg::ApplyAndSave() {
  const ApplyOutcome outcome =
      ApplySettings(state_, ports_.ini, ports_.system, ports_.window, macroPage_.RepeatEditText());
  if (outcome.correctedRepeatCount) macroPage_.ShowRepeatCount(*outcome.correctedRepeatCount);
  return outcome.saveFailures;
}

bool CTolvarDlg::OnEraseBkgnd() {
  if (state_.StartHidden) {
    state_.StartHidden = false;
    ports_.window.ShowMinimized();
  }
  return true;
}

void CTolvarDlg::OnDeviceChange(DeviceEvent event, const std::string& path) {
  switch (HandleDeviceNotice(state_.Link, ports_.hid, state_.Reporter, event, path)) {
    case NoticeOutcome::MouseRemoved:
      commands_.RemoveTrayIcon();
      ports_.window.Destroy();
      break;
    case NoticeOutcome::Rediscovered:
      // Access granted later (rule installed, mouse replugged): the settings
      // go to the mouse as they do at start-up.
      if (state_.Reporter.IsOpen()) {
        ports_.clock.SleepUntil(ports_.clock.Now() + std::chrono::milliseconds(5));
        Apply();
      }
      break;
    case NoticeOutcome::Ignored:
      break;
  }
}

int CTolvarDlg::OnTrayNotify(int iconId, TrayMouse mouse) { return commands_.OnTrayNotify(iconId, mouse); }

void CTolvarDlg::OnCommand(int command) { commands_.OnCommand(command); }

void CTolvarDlg::OnSysCommand(int command) { commands_.OnSysCommand(command); }

void CTolvarDlg::OnClose() { commands_.OnClose(); }

void CTolvarDlg::OnPowerBroadcast() { commands_.OnPowerBroadcast(); }

ControlColours CTolvarDlg::OnCtlColor() const { return ControlColoursFor(state_.VER_SEL); }

bool CTolvarDlg::FilterKeyMessage(int message, int virtualKey) {
  return macroPage_.FilterKeyMessage(message, virtualKey);
}

void CTolvarDlg::OnRightButtonUp(int screenX, int screenY) { macroPage_.OpenEventMenu(screenX, screenY); }

}  // namespace tolvar
