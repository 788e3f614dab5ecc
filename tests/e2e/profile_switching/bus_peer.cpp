#include "bus_peer.h"

#include <future>
#include <stdexcept>

namespace tolvar::testing {

namespace {

constexpr const char* kProgramName = "org.tolvar.tolvar";
constexpr const char* kProgramObject = "/org/tolvar/tolvar";
constexpr const char* kProgramInterface = "org.tolvar.Tolvar1";
constexpr int kCallTimeoutMs = 30000;

std::string Printed(GVariant* value) {
  gchar* text = g_variant_print(value, FALSE);
  std::string printed = text;
  g_free(text);
  return printed;
}

}  // namespace

BusPeer::BusPeer(const std::string& address) {
  context_ = g_main_context_new();
  loop_ = g_main_loop_new(context_, FALSE);
  g_main_context_push_thread_default(context_);
  GError* error = nullptr;
  connection_ = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (connection_ == nullptr) {
    g_main_context_pop_thread_default(context_);
    const std::string message = error->message;
    g_clear_error(&error);
    throw std::runtime_error("cannot connect to the private bus: " + message);
  }
  g_dbus_connection_signal_subscribe(
      connection_, nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged", kProgramObject, nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE,
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
         gpointer self) {
        auto* peer = static_cast<BusPeer*>(self);
        GVariant* changed = g_variant_get_child_value(parameters, 1);
        GVariantIter iter;
        g_variant_iter_init(&iter, changed);
        const gchar* name = nullptr;
        GVariant* value = nullptr;
        std::lock_guard lock(peer->mutex_);
        while (g_variant_iter_next(&iter, "{&sv}", &name, &value)) {
          peer->changes_.push_back(std::string(name) + "=" + Printed(value));
          g_variant_unref(value);
        }
        g_variant_unref(changed);
      },
      this, nullptr);
  g_main_context_pop_thread_default(context_);
  thread_ = std::thread([this] {
    g_main_context_push_thread_default(context_);
    g_main_loop_run(loop_);
    g_main_context_pop_thread_default(context_);
  });
}

BusPeer::~BusPeer() {
  RunOnLoop([this] { g_main_loop_quit(loop_); });
  thread_.join();
  if (connection_ != nullptr) {
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
  }
  for (Service* service : services_) {
    g_dbus_node_info_unref(service->node);
    delete service;
  }
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

void BusPeer::RunOnLoop(std::function<void()> task) {
  std::promise<void> done;
  auto* job = new std::pair<std::function<void()>, std::promise<void>*>(std::move(task), &done);
  g_main_context_invoke(
      context_,
      [](gpointer data) -> gboolean {
        auto* pending = static_cast<std::pair<std::function<void()>, std::promise<void>*>*>(data);
        pending->first();
        pending->second->set_value();
        delete pending;
        return G_SOURCE_REMOVE;
      },
      job);
  done.get_future().wait();
}

bool BusPeer::NameHasOwner(const std::string& name) {
  GVariant* reply =
      g_dbus_connection_call_sync(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "NameHasOwner", g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(b)"),
                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return false;
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned != FALSE;
}

std::optional<std::string> BusPeer::ProgramProperty(const std::string& name) {
  GVariant* reply =
      g_dbus_connection_call_sync(connection_, kProgramName, kProgramObject, "org.freedesktop.DBus.Properties", "Get",
                                  g_variant_new("(ss)", kProgramInterface, name.c_str()), G_VARIANT_TYPE("(v)"),
                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return std::nullopt;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  const std::string printed = Printed(value);
  g_variant_unref(value);
  g_variant_unref(reply);
  return printed;
}

std::string BusPeer::CallProgram(const std::string& method, GVariant* parameters) {
  GError* error = nullptr;
  GVariant* reply =
      g_dbus_connection_call_sync(connection_, kProgramName, kProgramObject, kProgramInterface, method.c_str(),
                                  parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
  if (reply != nullptr) {
    g_variant_unref(reply);
    return "";
  }
  gchar* remote = g_dbus_error_get_remote_error(error);
  const std::string name = remote != nullptr ? remote : error->message;
  g_free(remote);
  g_clear_error(&error);
  return name;
}

std::vector<std::string> BusPeer::PropertyChanges() {
  std::lock_guard lock(mutex_);
  return changes_;
}

std::vector<ReceivedCall> BusPeer::Calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

void BusPeer::Serve(const std::string& name, const std::string& object, const std::string& interfaceXml, Reply reply) {
  GError* error = nullptr;
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(interfaceXml.c_str(), &error);
  if (node == nullptr) {
    const std::string message = error->message;
    g_clear_error(&error);
    throw std::runtime_error("bad stand-in interface: " + message);
  }
  auto* service = new Service{this, std::move(reply), node};
  services_.push_back(service);
  static const GDBusInterfaceVTable vtable{
      [](GDBusConnection*, const gchar*, const gchar* objectPath, const gchar*, const gchar* method,
         GVariant* arguments, GDBusMethodInvocation* invocation, gpointer data) {
        auto* served = static_cast<Service*>(data);
        {
          std::lock_guard lock(served->peer->mutex_);
          served->peer->calls_.push_back({objectPath, method, Printed(arguments)});
        }
        GVariant* answer = served->reply ? served->reply(method, arguments) : nullptr;
        g_dbus_method_invocation_return_value(invocation, answer);
      },
      nullptr,
      nullptr,
      {}};
  guint registration = 0;
  RunOnLoop([&] {
    registration = g_dbus_connection_register_object(connection_, object.c_str(), node->interfaces[0], &vtable, service,
                                                     nullptr, nullptr);
  });
  if (registration == 0) throw std::runtime_error("cannot register the stand-in object " + object);
  GVariant* owned =
      g_dbus_connection_call_sync(connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "RequestName", g_variant_new("(su)", name.c_str(), 4u /* do not queue */),
                                  G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
  if (owned == nullptr) throw std::runtime_error("cannot own " + name);
  g_variant_unref(owned);
}

}  // namespace tolvar::testing
