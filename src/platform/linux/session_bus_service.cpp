#include "platform/linux/session_bus_service.h"

#include <cstring>

#include "platform/linux/embedded_texts.h"

namespace tolvar {

namespace {

void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant* parameters,
                  GDBusMethodInvocation* invocation, gpointer self) {
  static_cast<SessionBusService*>(self)->HandleCall(method, parameters, invocation);
}

GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GError**,
                        gpointer self) {
  return static_cast<SessionBusService*>(self)->Property(name);
}

const GDBusInterfaceVTable kVTable{OnMethodCall, OnGetProperty, nullptr, {}};

}  // namespace

SessionBusService::SessionBusService(const ProfileControl& control, BusRequests requests)
    : control_(control), requests_(std::move(requests)) {}

SessionBusService::~SessionBusService() {
  if (ownership_ != 0) g_bus_unown_name(ownership_);
  if (registration_ != 0) g_dbus_connection_unregister_object(connection_, registration_);
  if (node_ != nullptr) g_dbus_node_info_unref(node_);
  if (connection_ != nullptr) g_object_unref(connection_);
}

bool SessionBusService::Start(std::string& reason) {
  GError* error = nullptr;
  connection_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (connection_ == nullptr) {
    reason = error != nullptr ? error->message : "no session bus";
    g_clear_error(&error);
    return false;
  }
  // The bus going away must not end the program.
  g_dbus_connection_set_exit_on_close(connection_, FALSE);
  node_ = g_dbus_node_info_new_for_xml(kBusInterfaceXml, &error);
  if (node_ == nullptr) {
    reason = error->message;
    g_clear_error(&error);
    return false;
  }
  registration_ = g_dbus_connection_register_object(connection_, kBusObject,
                                                    g_dbus_node_info_lookup_interface(node_, kBusInterface), &kVTable,
                                                    this, nullptr, &error);
  if (registration_ == 0) {
    reason = error->message;
    g_clear_error(&error);
    return false;
  }
  ownership_ = g_bus_own_name_on_connection(connection_, kBusName, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr,
                                            nullptr, nullptr);
  return true;
}

void SessionBusService::HandleCall(const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation) {
  if (std::strcmp(method, "SetProfile") == 0) {
    gint32 profile = 0;
    g_variant_get(parameters, "(i)", &profile);
    if (!requests_.setProfile || !requests_.setProfile(profile)) {
      g_dbus_method_invocation_return_dbus_error(invocation, kInvalidProfileError,
                                                 "The profile is a number from 1 to 5");
      return;
    }
  } else if (std::strcmp(method, "Apply") == 0) {
    if (requests_.apply) requests_.apply();
  } else if (std::strcmp(method, "WindowActivated") == 0) {
    const gchar* windowClass = nullptr;
    const gchar* instance = nullptr;
    const gchar* appId = nullptr;
    g_variant_get(parameters, "(&s&s&s)", &windowClass, &instance, &appId);
    if (requests_.windowActivated) requests_.windowActivated({windowClass, instance, "", appId});
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

GVariant* SessionBusService::Property(const gchar* name) const {
  if (std::strcmp(name, "Profile") == 0) return g_variant_new_int32(control_.Profile());
  if (std::strcmp(name, "DpiLevel") == 0) return g_variant_new_int32(control_.DpiLevel());
  if (std::strcmp(name, "Connected") == 0) return g_variant_new_boolean(control_.Connected());
  if (std::strcmp(name, "FocusSource") == 0) return g_variant_new_string(focusSource_.c_str());
  return nullptr;
}

void SessionBusService::AnnounceChange(const char* property, GVariant* value) {
  if (registration_ == 0) {
    g_variant_unref(g_variant_ref_sink(value));
    return;
  }
  GVariantBuilder changed;
  g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&changed, "{sv}", property, value);
  g_dbus_connection_emit_signal(connection_, nullptr, kBusObject, "org.freedesktop.DBus.Properties",
                                "PropertiesChanged", g_variant_new("(sa{sv}as)", kBusInterface, &changed, nullptr),
                                nullptr);
}

void SessionBusService::ProfileChanged(int profile) { AnnounceChange("Profile", g_variant_new_int32(profile)); }

void SessionBusService::DpiLevelChanged(int level) { AnnounceChange("DpiLevel", g_variant_new_int32(level)); }

void SessionBusService::ConnectedChanged(bool connected) {
  AnnounceChange("Connected", g_variant_new_boolean(connected));
}

}  // namespace tolvar
