#include "platform/qt/diagnose_command.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/diagnosis.h"
#include "app/display_platform.h"
#include "app/startup.h"
#include "config/config_file.h"
#include "platform/ini/ini_file_store.h"
#include "platform/linux/hidraw_backend.h"
#include "platform/linux/x11_tray_probe.h"
#include "platform/sim/sim_hid_backend.h"

namespace tolvar {

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Where udev reads the access rule from, if it is installed there.
std::string InstalledRule() {
  for (const char* path : {"/etc/udev/rules.d/70-tolvar.rules", "/usr/lib/udev/rules.d/70-tolvar.rules",
                           "/lib/udev/rules.d/70-tolvar.rules"}) {
    std::error_code error;
    if (fs::exists(path, error)) return path;
  }
  return "";
}

FileAccess AccessOf(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) return FileAccess::Missing;
  return ::access(path.c_str(), W_OK) == 0 ? FileAccess::Writable : FileAccess::ReadOnly;
}

bool StatusNotifierHostPresent() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface() != nullptr &&
         bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

TrayHost FindTrayHost() {
  if (StatusNotifierHostPresent()) return TrayHost::StatusNotifier;
  if (XEmbedTrayPresent()) return TrayHost::XEmbed;
  return TrayHost::Absent;
}

}  // namespace

int RunDiagnoseCommand(int argc, char** argv, const AppPaths& folders, const std::string& version) {
  QCoreApplication app(argc, argv);  // for the session bus; no window
  IniFileStore ini;
  const AppPaths first = ComputePaths(folders, 0);
  const AppPaths paths = ComputePaths(folders, ReadLanguage(ini, first.ConfigPath));

  HidrawBackend hidraw;
  std::vector<DiagnosisSource> sources{{"HID devices (hidraw nodes)", hidraw}};
  std::unique_ptr<sim::SimHidBackend> simulator;
  if (const auto socket = sim::SimulatorSocketFromEnvironment()) {
    simulator = std::make_unique<sim::SimHidBackend>(*socket);
    sources.push_back({"Simulated mouse (" + std::string(sim::kSimulatorVariable) + "=" + *socket + ")", *simulator});
  }

  const DiagnosisReport report = Diagnose({
      .version = version,
      .sources = sources,
      .installedRule = InstalledRule(),
      .paths = paths,
      .fileAccess = AccessOf,
      .sessionType = Environment("XDG_SESSION_TYPE"),
      .display = Environment("DISPLAY"),
      .waylandDisplay = Environment("WAYLAND_DISPLAY"),
      .windowPlatform =
          ChoosePlatform(Environment("QT_QPA_PLATFORM"), HasPlatformArgument(argc, argv), Environment("DISPLAY"))
              .description,
      .trayHost = FindTrayHost(),
  });
  std::fputs(report.text.c_str(), stdout);
  std::fflush(stdout);
  return report.status;
}

}  // namespace tolvar
