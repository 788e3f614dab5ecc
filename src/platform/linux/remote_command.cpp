#include "platform/linux/remote_command.h"

#include <gio/gio.h>

#include <cstdio>
#include <cstring>

#include "app/command_options.h"
#include "platform/linux/session_bus_service.h"

namespace tolvar {

namespace {

// Applying sends 22 reports and writes the files; a stuck program must not
// keep the command waiting for ever.
constexpr int kCallTimeoutMs = 30000;

bool IsNoInstance(const GError* error) {
  return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
         g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_OBJECT);
}

}  // namespace

int RunRemoteCommand(int profile) {
  GError* error = nullptr;
  GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (connection == nullptr) {
    std::fprintf(stderr, "tolvar: the program is not running (no session bus: %s)\n", error->message);
    g_clear_error(&error);
    return kRemoteNoInstance;
  }
  const bool choose = profile != 0;
  GVariant* reply =
      g_dbus_connection_call_sync(connection, kBusName, kBusObject, kBusInterface, choose ? "SetProfile" : "Apply",
                                  choose ? g_variant_new("(i)", profile) : nullptr, nullptr,
                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  g_object_unref(connection);
  if (reply != nullptr) {
    g_variant_unref(reply);
    return kRemoteDone;
  }
  int status = kRemoteNoInstance;
  if (IsNoInstance(error)) {
    std::fprintf(stderr, "tolvar: the program is not running\n");
  } else {
    gchar* remote = g_dbus_error_get_remote_error(error);
    if (remote != nullptr && std::strcmp(remote, kInvalidProfileError) == 0) status = kRemoteBadProfile;
    g_free(remote);
    g_dbus_error_strip_remote_error(error);
    std::fprintf(stderr, "tolvar: %s\n", error->message);
  }
  g_clear_error(&error);
  return status;
}

}  // namespace tolvar
