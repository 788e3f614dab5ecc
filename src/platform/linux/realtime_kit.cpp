#include "platform/linux/realtime_kit.h"

#include <gio/gio.h>
#include <sys/resource.h>

#include <algorithm>
#include <memory>

namespace tolvar {

namespace {

constexpr const char* kService = "org.freedesktop.RealtimeKit1";
constexpr const char* kObject = "/org/freedesktop/RealtimeKit1";
constexpr const char* kInterface = "org.freedesktop.RealtimeKit1";
// The service answers at once or not at all; a thread start must not hang.
constexpr int kCallTimeoutMs = 2000;

// The service's limits, as its properties tell them.
struct RealtimeKitLimits {
  int maxPriority = 0;
  long long rtTimeMaxMicroseconds = 0;
};

struct ConnectionClose {
  void operator()(GDBusConnection* connection) const {
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
};
struct VariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using Connection = std::unique_ptr<GDBusConnection, ConnectionClose>;
using Variant = std::unique_ptr<GVariant, VariantUnref>;

// A connection of our own, closed after the request: the shared system-bus
// connection would end the process if the bus went away.
Connection Connect(const std::string& busAddress) {
  GError* error = nullptr;
  std::string address = busAddress;
  if (address.empty()) {
    gchar* system = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
    if (system == nullptr) {
      g_error_free(error);
      return Connection(nullptr);
    }
    address = system;
    g_free(system);
  }
  GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return Connection(connection);
}

Variant Call(GDBusConnection* connection, const char* interface, const char* method, GVariant* arguments,
             const char* replyType) {
  GError* error = nullptr;
  GVariant* reply =
      g_dbus_connection_call_sync(connection, kService, kObject, interface, method, arguments,
                                  G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
  if (error != nullptr) g_error_free(error);
  return Variant(reply);
}

// One property of the service, or nothing when it cannot be read or has
// another type.
Variant Property(GDBusConnection* connection, const char* name, const GVariantType* type) {
  const Variant reply =
      Call(connection, "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", kInterface, name), "(v)");
  if (!reply) return nullptr;
  GVariant* inner = nullptr;
  g_variant_get(reply.get(), "(v)", &inner);
  Variant value(inner);
  if (!g_variant_is_of_type(value.get(), type)) return nullptr;
  return value;
}

std::optional<RealtimeKitLimits> ReadLimits(GDBusConnection* connection) {
  const Variant priority = Property(connection, "MaxRealtimePriority", G_VARIANT_TYPE_INT32);
  const Variant rtTime = Property(connection, "RTTimeUSecMax", G_VARIANT_TYPE_INT64);
  if (!priority || !rtTime) return std::nullopt;
  return RealtimeKitLimits{g_variant_get_int32(priority.get()),
                           static_cast<long long>(g_variant_get_int64(rtTime.get()))};
}

}  // namespace

std::optional<int> RequestRealtimeKit(const std::string& busAddress, pid_t process, pid_t thread, int wanted) {
  const Connection connection = Connect(busAddress);
  if (!connection) return std::nullopt;
  const std::optional<RealtimeKitLimits> limits = ReadLimits(connection.get());
  if (!limits || limits->rtTimeMaxMicroseconds <= 0) return std::nullopt;
  const int priority = std::min(wanted, limits->maxPriority);
  if (priority < 1 || !CapRealtimeBudget(limits->rtTimeMaxMicroseconds)) return std::nullopt;
  const Variant reply = Call(connection.get(), kInterface, "MakeThreadRealtimeWithPID",
                             g_variant_new("(ttu)", static_cast<guint64>(process), static_cast<guint64>(thread),
                                           static_cast<guint32>(priority)),
                             "()");
  if (!reply) return std::nullopt;
  return priority;
}

bool CapRealtimeBudget(long long maxMicroseconds) {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return false;
  const rlim_t cap = static_cast<rlim_t>(maxMicroseconds);
  if (limit.rlim_cur <= cap && limit.rlim_max <= cap) return true;
  limit.rlim_cur = std::min(limit.rlim_cur, cap);
  limit.rlim_max = std::min(limit.rlim_max, cap);
  return setrlimit(RLIMIT_RTTIME, &limit) == 0;
}

}  // namespace tolvar
