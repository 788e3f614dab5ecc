#include "platform/linux/desktop_notifications.h"

#include <cstdio>

#include "base/text.h"

namespace tolvar {

namespace {

constexpr int kCallTimeoutMs = 5000;
constexpr gint32 kServerDefaultTimeout = -1;

}  // namespace

DesktopNotifications::Shared::~Shared() {
  if (connection != nullptr) g_object_unref(connection);
}

DesktopNotifications::DesktopNotifications(GDBusConnection* connection) {
  if (connection != nullptr) shared_->connection = G_DBUS_CONNECTION(g_object_ref(connection));
}

DesktopNotifications::~DesktopNotifications() = default;

void DesktopNotifications::Show(const std::u16string& text) {
  if (shared_->connection == nullptr) return;
  if (shared_->calling) {
    shared_->waiting = Utf16ToUtf8(text);
    return;
  }
  Send(shared_, Utf16ToUtf8(text));
}

void DesktopNotifications::Send(const std::shared_ptr<Shared>& shared, const std::string& summary) {
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string("org.tolvar.tolvar"));
  g_variant_builder_add(&hints, "{sv}", "transient", g_variant_new_boolean(TRUE));
  GVariant* parameters = g_variant_new("(susssasa{sv}i)", "Tolvar", shared->lastId, "tolvar", summary.c_str(), "",
                                       nullptr, &hints, kServerDefaultTimeout);
  shared->calling = true;
  g_dbus_connection_call(
      shared->connection, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      "org.freedesktop.Notifications", "Notify", parameters, G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
      kCallTimeoutMs, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<std::shared_ptr<Shared>> pending(static_cast<std::shared_ptr<Shared>*>(data));
        const std::shared_ptr<Shared>& state = *pending;
        state->calling = false;
        GError* error = nullptr;
        if (GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error)) {
          g_variant_get(reply, "(u)", &state->lastId);
          g_variant_unref(reply);
        } else {
          // Said once: a desktop without a notification service would
          // otherwise hear of it at every change.
          if (!state->failureReported) std::fprintf(stderr, "tolvar: notices cannot be shown: %s\n", error->message);
          state->failureReported = true;
          g_clear_error(&error);
        }
        if (state->waiting) {
          const std::string next = *state->waiting;
          state->waiting.reset();
          Send(state, next);
        }
      },
      new std::shared_ptr<Shared>(shared));
}

}  // namespace tolvar
