#include "platform/linux/kwin_focus_script.h"

#include <fstream>

#include "platform/linux/embedded_texts.h"

namespace tolvar {

namespace {

constexpr const char* kKWinName = "org.kde.KWin";
constexpr const char* kScriptingObject = "/Scripting";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";
constexpr const char* kScriptInterface = "org.kde.kwin.Script";
constexpr int kCallTimeoutMs = 3000;

GVariant* Call(GDBusConnection* connection, const char* service, const std::string& object, const char* interface,
               const char* method, GVariant* parameters, const char* replyType, std::string* reason) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(connection, service, object.c_str(), interface, method, parameters,
                                                replyType != nullptr ? G_VARIANT_TYPE(replyType) : nullptr,
                                                G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  if (reply == nullptr) {
    if (reason != nullptr) *reason = error->message;
    g_clear_error(&error);
  }
  return reply;
}

}  // namespace

bool NameHasOwner(GDBusConnection* connection, const char* name) {
  GVariant* reply = Call(connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                         "NameHasOwner", g_variant_new("(s)", name), "(b)", nullptr);
  if (reply == nullptr) return false;
  gboolean owned = FALSE;
  g_variant_get(reply, "(b)", &owned);
  g_variant_unref(reply);
  return owned != FALSE;
}

bool LoadKWinFocusScript(GDBusConnection* connection, const std::string& runtimeDir, std::string& reason) {
  const std::string path = runtimeDir + "/" + kKWinScriptName + ".js";
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << kKWinFocusScript;
    if (!file.flush()) {
      reason = "cannot write " + path;
      return false;
    }
  }
  if (GVariant* unloaded = Call(connection, kKWinName, kScriptingObject, kScriptingInterface, "unloadScript",
                                g_variant_new("(s)", kKWinScriptName), nullptr, nullptr)) {
    g_variant_unref(unloaded);
  }
  GVariant* loaded = Call(connection, kKWinName, kScriptingObject, kScriptingInterface, "loadScript",
                          g_variant_new("(ss)", path.c_str(), kKWinScriptName), "(i)", &reason);
  if (loaded == nullptr) return false;
  gint32 id = -1;
  g_variant_get(loaded, "(i)", &id);
  g_variant_unref(loaded);
  if (id < 0) {
    reason = "KWin did not load " + path;
    return false;
  }
  // Plasma 6 names the script's object /Scripting/Script<id>, Plasma 5 /<id>.
  for (const std::string& object : {"/Scripting/Script" + std::to_string(id), "/" + std::to_string(id)}) {
    if (GVariant* ran = Call(connection, kKWinName, object, kScriptInterface, "run", nullptr, nullptr, &reason)) {
      g_variant_unref(ran);
      return true;
    }
  }
  return false;
}

}  // namespace tolvar
