// The process entry: wires the platform adapters to the core and runs the
// main window until it is destroyed.
#include <QApplication>
#include <QDBusConnection>
#include <QKeyEvent>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>
#include <vector>

#include "app/app_state.h"
#include "app/command_options.h"
#include "app/display_platform.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "app/window_profile_control.h"
#include "base/text.h"
#include "device/hid_backend_chain.h"
#include "platform/ini/ini_file_store.h"
#include "platform/linux/desktop_pointer_settings.h"
#include "platform/linux/freed_memory.h"
#include "platform/linux/hidraw_backend.h"
#include "platform/linux/monotonic_clock_linux.h"
#include "platform/linux/program_launcher_linux.h"
#include "platform/linux/remote_command.h"
#include "platform/linux/thread_priority_linux.h"
#include "platform/linux/user_files.h"
#include "platform/qt/diagnose_command.h"
#include "platform/qt/font_warm_up.h"
#include "platform/qt/host_window.h"
#include "platform/qt/image_prefetch.h"
#include "platform/qt/logind_resume.h"
#include "platform/qt/main_window_paint.h"
#include "platform/qt/profile_features.h"
#include "platform/qt/qt_accessible_window.h"
#include "platform/qt/qt_desktop_dialogs.h"
#include "platform/qt/qt_image_cache.h"
#include "platform/qt/qt_macro_controls.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_navigation_keys.h"
#include "platform/qt/qt_owner_drawn_menu.h"
#include "platform/qt/qt_popup_window.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/qt_window_menu.h"
#include "platform/qt/right_button_filter.h"
#include "platform/qt/session_end.h"
#include "platform/qt/sim_notices_qt.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/udev_notices_qt.h"
#include "platform/qt/x11_key_capture.h"
#include "platform/sim/sim_hid_backend.h"
#include "ports/clock.h"
#include "skin/main_window_painter.h"
#include "skin/pages.h"

namespace {

// The program file's real location, symbolic links resolved.
std::string ProgramFilePath(const char* argv0) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  return std::filesystem::weakly_canonical(argv0, error).string();
}

std::u16string CommandLine(int argc, char** argv) {
  std::u16string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += u' ';
    line += tolvar::Utf8ToUtf16(argv[i]);
  }
  return line;
}

// Key presses as the key filter sees them: the message and the virtual-key
// code of the keys it tells apart.
bool FilterKey(tolvar::CTolvarDlg& dialog, const QKeyEvent& event) {
  int virtualKey = 0;
  switch (event.key()) {
    case Qt::Key_Escape:
      virtualKey = tolvar::kVkEscape;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      virtualKey = tolvar::kVkReturn;
      break;
    case Qt::Key_F10:
      virtualKey = tolvar::kVkF10;
      break;
    default:
      return false;
  }
  return dialog.FilterKeyMessage({.press = true, .virtualKey = virtualKey});
}

}  // namespace

int main(int argc, char** argv) {
  tolvar::MapLargeBlocksApart();
  const std::string programPath = ProgramFilePath(argv[0]);
  const std::string moduleDir = tolvar::ModuleDirOf(programPath);
  // Where the files live is decided once, here: beside the program, or in
  // the user's folder when the program's folder is not writable.
  const tolvar::AppPaths folders = tolvar::LocateFolders(moduleDir, tolvar::CurrentPathEnvironment(moduleDir));

  bool startInTray = false;
  switch (tolvar::CommandOptionOf(argc, argv)) {
    case tolvar::CommandOption::Help:
      std::fputs(tolvar::HelpText("tolvar").c_str(), stdout);
      return 0;
    case tolvar::CommandOption::Version:
      std::fputs(tolvar::VersionText(TOLVAR_VERSION).c_str(), stdout);
      return 0;
    case tolvar::CommandOption::Diagnose:
      return tolvar::RunDiagnoseCommand(argc, argv, folders, TOLVAR_VERSION);
    case tolvar::CommandOption::Profile: {
      const int profile = tolvar::ProfileArgumentOf(argc, argv);
      if (profile == 0) {
        std::fputs("tolvar: --profile takes a profile number from 1 to 5\n", stderr);
        return tolvar::kRemoteBadProfile;
      }
      return tolvar::RunRemoteCommand(profile);
    }
    case tolvar::CommandOption::Apply:
      return tolvar::RunRemoteCommand(0);
    case tolvar::CommandOption::Tray:
      startInTray = true;
      break;
    case tolvar::CommandOption::Run:
      break;
  }

  tolvar::BlockTerminationSignals();
  // X11 unless the user chose a platform; the choice is not handed on to
  // the programs the player starts.
  const char* userPlatform = std::getenv("QT_QPA_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  const tolvar::PlatformChoice platform = tolvar::ChoosePlatform(
      userPlatform ? userPlatform : "", tolvar::HasPlatformArgument(argc, argv), display ? display : "");
  if (!platform.platform.empty()) qputenv("QT_QPA_PLATFORM", platform.platform.c_str());
  QApplication app(argc, argv);
  if (!platform.platform.empty()) qunsetenv("QT_QPA_PLATFORM");
  app.setQuitOnLastWindowClosed(false);

  auto instance = std::make_unique<tolvar::SingleInstance>();
  if (!instance->Acquire()) return 0;

  // While start-up runs its steps, a thread of its own decodes the window
  // mask and the first page's images, and another fills the font database,
  // which the first paint would otherwise wait for. A start into the tray
  // paints nothing: it decodes only the mask, which shapes the window.
  const tolvar::AppPaths paths = tolvar::ComputePaths(folders);
  const tolvar::PageImageNames firstPage = tolvar::ImageNamesOf(tolvar::PageKind::Main);
  const bool startsHidden = startInTray || tolvar::HasHideSwitch(CommandLine(argc, argv));
  std::vector<tolvar::ImagePrefetch::Request> early{tolvar::QtImageFileReader::PrefetchRequest(paths.MaskImagePath)};
  if (!startsHidden) {
    for (const char* name : {firstPage.normal, firstPage.over, firstPage.down}) {
      early.push_back(tolvar::QtImageCache::PrefetchRequest(paths.SkinsDir + name));
    }
  }
  tolvar::ImagePrefetch prefetch(std::move(early), startsHidden ? std::function<void()>() : tolvar::WarmFonts);

  for (const std::string& failure : tolvar::SeedUserFiles(folders)) {
    std::fprintf(stderr, "tolvar: %s\n", failure.c_str());
  }
  auto state = std::make_unique<tolvar::AppState>();
  state->Paths = paths;
  state->ApplicationName = tolvar::ApplicationNameOf(programPath);

  tolvar::IniFileStore ini;
  tolvar::HidBackendChain hid;
  tolvar::MergedDeviceNotices notices;
  hid.Add(std::make_unique<tolvar::HidrawBackend>());
  notices.Add(std::make_unique<tolvar::UdevNoticesQt>());
  if (const auto simulator = tolvar::sim::SimulatorSocketFromEnvironment()) {
    hid.Add(std::make_unique<tolvar::sim::SimHidBackend>(*simulator));
    notices.Add(std::make_unique<tolvar::SimNoticesQt>(*simulator));
  }

  tolvar::HostWindow window;
  const QIcon icon = tolvar::ProgramIcon();
  window.setWindowIcon(icon);
  tolvar::QtMessageBoxes messageBoxes(&window);
  tolvar::DesktopPointerSettings pointerSettings(ini);
  tolvar::QtTray tray(icon);
  tolvar::MonotonicClock clock;
  tolvar::SystemSchedulingCalls schedulingCalls;
  tolvar::LinuxThreadPriority workerPriority(schedulingCalls);
  tolvar::LinuxProgramLauncher programs;
  tolvar::QtImageFileReader imageFiles(&prefetch);
  tolvar::QtImageCache images(&prefetch);
  tolvar::QtMainWindowPaint paint(images);
  tolvar::QtDesktopDialogs desktopDialogs(window);
  tolvar::QtPopupWindows popups(window, images);
  tolvar::QtMacroControls macroControls(window);
  tolvar::X11KeyCapture keys;
  tolvar::SystemTimeOfDay timeOfDay;
  tolvar::QtOwnerDrawnMenus ownerDrawnMenus;
  tolvar::CTolvarDlg* dialogPtr = nullptr;
  tolvar::ProfileFeatures* featuresPtr = nullptr;
  tolvar::QtWindowMenu windowMenu(&window, icon, [&](int command) {
    if (!featuresPtr->OnCommand(command)) dialogPtr->OnSysCommand(command);
  });
  // The player's take-over of a DPI level repaints from its thread; the
  // profile control hears of it on the user-interface thread.
  tolvar::WindowProfileControl* controlPtr = nullptr;
  tolvar::WorkerRepaintWatch watchedWindow(window, [&] { controlPtr->WorkerRepainted(); });

  tolvar::CTolvarDlg dialog(
      *state,
      {
          .ini = ini,
          .dialogs = messageBoxes,
          .window = watchedWindow,
          .hid = hid,
          .images = imageFiles,
          .system = pointerSettings,
          .tray = tray,
          .windowMenu = windowMenu,
          .clock = clock,
          .programs = programs,
          .desktop = desktopDialogs,
          .popups = popups,
          .macroEditor = {.controls = macroControls, .keys = keys, .time = timeOfDay, .menus = ownerDrawnMenus},
          .threadPriority = &workerPriority,
      },
      CommandLine(argc, argv));
  dialogPtr = &dialog;
  tolvar::WindowProfileControl control(dialog, *state, ini);
  controlPtr = &control;
  tolvar::ProfileFeatures features(control, tray, &window);
  featuresPtr = &features;
  tolvar::AccessibleWindowControls accessible(
      window, {
                  .controls = [&] { return dialog.Controls(); },
                  .focus = [&] { return dialog.ViewState().Focus; },
                  .press = [&](tolvar::ControlId id) { dialog.PressControl(id); },
                  .setValue = [&](tolvar::ControlId id, int value) { dialog.SetControlValue(id, value); },
                  .widgetNames = [&] { return tolvar::MacroEditorWidgetNames(*state); },
              });

  tray.SetMenuLook(dialog.Menus().trayMenu, dialog.Menus().trayMenu.Entries());
  tray.SetEvents({
      .notify = [&](int iconId, tolvar::TrayMouse mouse) { return dialog.OnTrayNotify(iconId, mouse); },
      .command =
          [&](int command) {
            if (!features.OnCommand(command)) dialog.OnCommand(command);
            control.Refresh();
          },
  });
  // Out of sight, the decoded images and the back buffer go, and so does
  // the memory they held. Asked to show again, the page's images (and, the
  // first time, the fonts) are decoded on threads of their own while the
  // window maps, so its first paint finds them ready.
  bool outOfSight = startsHidden;
  bool fontsWarmed = !startsHidden;
  window.SetHandlers({
      .paint =
          [&](QPainter& painter) {
            dialog.OnPaint();
            paint.Paint(painter, *state, dialog.ViewState());
            accessible.Refresh();
          },
      .eraseBackground = [&] { dialog.OnEraseBkgnd(); },
      .closeRequested = [&] { dialog.OnSysCommand(tolvar::kScClose); },
      .key =
          [&](QKeyEvent& event) {
            const std::optional<tolvar::NavigationKey> key = tolvar::NavigationKeyOf(event);
            return (key && dialog.OnNavigationKey(*key)) || FilterKey(dialog, event);
          },
      .tab =
          [&](bool forward) {
            return dialog.OnNavigationKey(forward ? tolvar::NavigationKey::Tab : tolvar::NavigationKey::BackTab);
          },
      .focusEntered = [&](bool forward) { dialog.OnFocusEntered(forward); },
      .controlColours = [&] { return dialog.OnCtlColor(); },
      .mouseMove = [&](int x, int y) { dialog.OnMouseMove(x, y); },
      .leftButtonDown =
          [&](int x, int y) {
            dialog.OnLButtonDown(x, y);
            control.Refresh();
          },
      .leftButtonUp =
          [&](int x, int y) {
            dialog.OnLButtonUp(x, y);
            control.Refresh();
          },
      .showing =
          [&] {
            if (!outOfSight) return;
            outOfSight = false;
            const tolvar::PageImageNames page = tolvar::ImageNamesOf(tolvar::PageOf(state->CurrentPage.load()));
            const std::string& skins = state->Paths.SkinsDir;
            images.DecodeAhead({skins + page.normal, skins + page.over, skins + page.down},
                               fontsWarmed ? std::function<void()>() : tolvar::WarmFonts);
            fontsWarmed = true;
          },
      .hidden =
          [&] {
            outOfSight = true;
            images.Clear();
            paint.ReleaseBuffer();
            tolvar::ReturnFreedMemory();
          },
  });
  tolvar::RightButtonFilter rightButton(window, [&](int x, int y) { dialog.OnRightButtonUp(x, y); });
  instance->OnRestoreRequest([&] { window.Restore(); });
  tolvar::SessionEnd sessionEnd([&] { dialog.OnClose(); });
  tolvar::LogindResume resume(QDBusConnection::systemBus(), [&] { dialog.OnPowerBroadcast(); });
  notices.Start([&](tolvar::DeviceEvent event, const std::string& path) {
    dialog.OnDeviceChange(event, path);
    control.Refresh();
  });

  dialog.OnInitDialog();
  int exitCode = 0;
  if (!window.IsDestroyed()) {
    features.Start(state->Paths.ConfigPath);
    windowMenu.AppendItem(tolvar::kApplicationRulesCommand, tolvar::ApplicationRulesMenuText(state->VER_SEL));
    if (startInTray) {
      dialog.OnSysCommand(tolvar::kScClose);  // hides to the tray, as the window's close does
    } else {
      window.show();
    }
    exitCode = app.exec();
  }

  // The worker threads are not stopped: they end with the process. Only the
  // single-instance lock and socket are released first.
  instance.reset();
  std::fflush(nullptr);
  std::_Exit(exitCode);
}
