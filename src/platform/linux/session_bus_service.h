// The running program on the user's session bus, through GIO: the name
// org.tolvar.tolvar, the object /org/tolvar/tolvar and the interface
// org.tolvar.Tolvar1 (packaging/dbus/org.tolvar.Tolvar1.xml). Method calls
// arrive on the thread that runs GLib's default main context (the
// user-interface thread, whose Qt event loop runs it).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "app/profile_control.h"
#include "config/application_rules.h"

namespace tolvar {

inline constexpr const char* kBusName = "org.tolvar.tolvar";
inline constexpr const char* kBusObject = "/org/tolvar/tolvar";
inline constexpr const char* kBusInterface = "org.tolvar.Tolvar1";
inline constexpr const char* kInvalidProfileError = "org.tolvar.Tolvar1.Error.InvalidProfile";

struct BusRequests {
  std::function<bool(int profile)> setProfile;  // false: not 1..5, nothing changed
  std::function<void()> apply;
  std::function<void(const WindowIdentity& window)> windowActivated;
};

class SessionBusService final : public ProfileObserver {
 public:
  SessionBusService(const ProfileControl& control, BusRequests requests);
  ~SessionBusService() override;
  SessionBusService(const SessionBusService&) = delete;
  SessionBusService& operator=(const SessionBusService&) = delete;

  // Connects to the session bus, registers the object and asks for the
  // name. False, with a reason, when there is no session bus.
  bool Start(std::string& reason);
  void SetFocusSource(std::string name) { focusSource_ = std::move(name); }
  GDBusConnection* Connection() const { return connection_; }

  // ProfileObserver: each change is announced with PropertiesChanged.
  void ProfileChanged(int profile) override;
  void DpiLevelChanged(int level) override;
  void ConnectedChanged(bool connected) override;

  // GDBus's callbacks.
  void HandleCall(const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation);
  GVariant* Property(const gchar* name) const;

 private:
  void AnnounceChange(const char* property, GVariant* value);

  const ProfileControl& control_;
  BusRequests requests_;
  std::string focusSource_ = "none";
  GDBusConnection* connection_ = nullptr;
  GDBusNodeInfo* node_ = nullptr;
  guint registration_ = 0;
  guint ownership_ = 0;
};

}  // namespace tolvar
