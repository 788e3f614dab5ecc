#include "platform/qt/diagnose_command.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/diagnosis.h"
#include "app/display_platform.h"
#include "app/startup.h"
#include "config/config_file.h"
#include "platform/ini/ini_file_store.h"
#include "platform/linux/hidraw_backend.h"
#include "platform/linux/session_bus_service.h"
#include "platform/linux/x11_tray_probe.h"
#include "platform/qt/profile_features.h"
#include "platform/sim/sim_hid_backend.h"

namespace tolvar {

namespace {

namespace fs = std::filesystem;

constexpr int kBusTimeoutMs = 2000;

// The FocusSource property of the running program; nothing when none runs.
std::optional<FocusSourceKind> RunningProgramFocusSource(GDBusConnection* bus) {
  if (bus == nullptr) return std::nullopt;
  GVariant* reply =
      g_dbus_connection_call_sync(bus, kBusName, kBusObject, "org.freedesktop.DBus.Properties", "Get",
                                  g_variant_new("(ss)", kBusInterface, "FocusSource"), G_VARIANT_TYPE("(v)"),
                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kBusTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return std::nullopt;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  const FocusSourceKind kind = g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
                                   ? FocusSourceNamed(g_variant_get_string(value, nullptr))
                                   : FocusSourceKind::None;
  g_variant_unref(value);
  g_variant_unref(reply);
  return kind;
}

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
  const AppPaths paths = ComputePaths(folders);

  HidrawBackend hidraw;
  std::vector<DiagnosisSource> sources{{"HID devices (hidraw nodes)", hidraw}};
  std::unique_ptr<sim::SimHidBackend> simulator;
  if (const auto socket = sim::SimulatorSocketFromEnvironment()) {
    simulator = std::make_unique<sim::SimHidBackend>(*socket);
    sources.push_back({"Simulated mouse (" + std::string(sim::kSimulatorVariable) + "=" + *socket + ")", *simulator});
  }

  // The running program tells its own focus source; else the session's
  // offer decides, as at a start.
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  FocusSourceKind focusSource = ChooseFocusSource(CurrentSessionFacts(bus));
  const std::optional<FocusSourceKind> running = RunningProgramFocusSource(bus);
  if (running) focusSource = *running;
  if (bus != nullptr) g_object_unref(bus);

  const DiagnosisReport report = Diagnose({
      .version = version,
      .sources = sources,
      .installedRule = InstalledRule(),
      .paths = paths,
      .verSel = ReadLanguage(ini, paths.ConfigPath),
      .fileAccess = AccessOf,
      .sessionType = Environment("XDG_SESSION_TYPE"),
      .display = Environment("DISPLAY"),
      .waylandDisplay = Environment("WAYLAND_DISPLAY"),
      .windowPlatform =
          ChoosePlatform(Environment("QT_QPA_PLATFORM"), HasPlatformArgument(argc, argv), Environment("DISPLAY"))
              .description,
      .trayHost = FindTrayHost(),
      .focusSource = focusSource,
      .focusSourceFromRunningProgram = running.has_value(),
  });
  std::fputs(report.text.c_str(), stdout);
  std::fflush(stdout);
  return report.status;
}

}  // namespace tolvar
