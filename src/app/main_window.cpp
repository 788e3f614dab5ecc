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

namespace {

// The window's ports with the dialogs, the window, its menu and the tray
// taken through the guard that ends a recording first.
MainWindowPorts GuardedPorts(const MainWindowPorts& ports, RecordingGuard& guard) {
  MainWindowPorts guarded{.ini = ports.ini,
                          .dialogs = guard,
                          .window = guard,
                          .hid = ports.hid,
                          .images = ports.images,
                          .system = ports.system,
                          .tray = guard,
                          .windowMenu = guard,
                          .clock = ports.clock,
                          .programs = ports.programs,
                          .desktop = guard,
                          .popups = ports.popups,
                          .macroEditor = ports.macroEditor,
                          .threadPriority = ports.threadPriority};
  return guarded;
}

}  // namespace

CTolvarDlg::CTolvarDlg(AppState& state, MainWindowPorts ports, std::u16string commandLine)
    : state_(state),
      recordingGuard_(ports.dialogs, ports.desktop, ports.window, ports.windowMenu, ports.tray,
                      [this] { macroPage_.EndRecording(); }),
      ports_(GuardedPorts(ports, recordingGuard_)),
      commandLine_(std::move(commandLine)),
      commands_(state, ports_.window, ports_.tray, ports_.windowMenu, [this] { model_.Apply(); }),
      macroPage_(state,
                 {ports_.macroEditor.controls, ports_.macroEditor.keys, ports_.macroEditor.time,
                  ports_.macroEditor.menus, ports_.dialogs, ports_.desktop, ports_.ini, ports_.window},
                 menus_.eventMenu),
      model_(state, {ports_.ini, ports_.dialogs, ports_.desktop, ports_.system, ports_.window}, *this,
             [this] { return SkinFiles(); }) {}

CTolvarDlg::~CTolvarDlg() = default;

bool CTolvarDlg::OnInitDialog() {
  AppPaths& paths = state_.Paths;

  state_.Link.PlayRequest = 0;
  state_.Link.StopRequest = 0;

  workers_ =
      StartWorkers(state_.Link, {ports_.window, ports_.ini, ports_.clock, ports_.programs, ports_.threadPriority});

  AddAboutItem(ports_.windowMenu);

  state_.CurConfig = ReadCurConfig(ports_.ini, paths.ConfigPath);
  state_.VER_SEL = ReadLanguage(ports_.ini, paths.ConfigPath);
  ports_.desktop.SetLanguage(state_.VER_SEL);
  LoadProfile(state_, ports_.ini, ports_.dialogs, paths.ConfigPath, state_.CurConfig, ProfileSource::OwnSection, true);

  ports_.window.SetTitle(kWindowTitle);

  // A missing layout file ends the program; nothing after it runs.
  const SkinSource skinFiles = SkinFiles();
  if (!LoadMainSkin(skinFiles, state_.Skin) || !LoadColourSkin(skinFiles, state_.Skin) ||
      !LoadAdvancedSkin(skinFiles, state_.Skin) || !LoadWarningSkin(skinFiles, state_.Skin)) {
    return true;
  }
  ports_.window.SetShape(ShapeMainWindow(state_, ports_.images));

  LoadUserMacros(state_, ports_.ini, ports_.dialogs, UserMacroFileOf(state_), kMacroSection);
  LoadFixedMacros(state_, ports_.ini, ports_.dialogs, paths.FixedMacroPath);
  macroPage_.SelectLastEventLine();
  menus_.Load(state_.VER_SEL);

  OpenDeviceLink(state_.Link.Device, ports_.hid, state_.Link.Reporter);
  if (!state_.Link.Device.PermissionDenied.empty()) {
    ports_.dialogs.MessageBox(PermissionDeniedMessage(state_.Link.Device.PermissionDenied), state_.ApplicationName);
  }
  if (!state_.Link.Device.Connected) {
    EndWithoutMouse();
    return true;
  }

  ports_.clock.SleepUntil(ports_.clock.Now() + std::chrono::milliseconds(5));
  model_.Apply();

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

void CTolvarDlg::ModelChanged(const ModelChange& change) {
  if (change.language) {
    menus_.Load(state_.VER_SEL);
    ports_.desktop.SetLanguage(state_.VER_SEL);
    ports_.window.SetTitle(kWindowTitle);
  }
  if (change.macros) macroPage_.RefreshMacroList();  // when the advanced page shows its lists
  ports_.window.Invalidate();
}

void CTolvarDlg::BeforeMacroListChanges() { macroPage_.EndRecording(); }

std::optional<std::u16string> CTolvarDlg::RepeatCountText() { return macroPage_.RepeatEditText(); }

void CTolvarDlg::ShowRepeatCount(const std::u16string& text) { macroPage_.ShowRepeatCount(text); }

bool CTolvarDlg::OnEraseBkgnd() {
  if (state_.StartHidden) {
    state_.StartHidden = false;
    ports_.window.ShowMinimized();
  }
  return true;
}

void CTolvarDlg::OnDeviceChange(DeviceEvent event, const std::string& path) {
  switch (HandleDeviceNotice(state_.Link.Device, ports_.hid, state_.Link.Reporter, event, path)) {
    case NoticeOutcome::MouseRemoved:
      commands_.RemoveTrayIcon();
      ports_.window.Destroy();
      break;
    case NoticeOutcome::Rediscovered:
      // Access granted later (rule installed, mouse replugged): the settings
      // go to the mouse as they do at start-up.
      if (state_.Link.Reporter.IsOpen()) {
        ports_.clock.SleepUntil(ports_.clock.Now() + std::chrono::milliseconds(5));
        model_.Apply();
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

bool CTolvarDlg::FilterKeyMessage(KeyEvent key) {
  // The function popup shows without taking the focus: Escape typed in the
  // main window closes it without a choice.
  if (menu_ && !menu_->Closed() && key.press && key.virtualKey == kVkEscape) {
    menu_->OnCancel();
    return true;
  }
  return macroPage_.FilterKeyMessage(key);
}

void CTolvarDlg::OnRightButtonUp(int screenX, int screenY) { macroPage_.OpenEventMenu(screenX, screenY); }

}  // namespace tolvar
