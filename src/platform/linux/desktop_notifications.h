// Notices through the desktop's notification service
// (org.freedesktop.Notifications on the session bus), each replacing the
// one shown before. Calls are asynchronous: a slow or absent service never
// holds up the program.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <optional>
#include <string>

#include "ports/desktop_notices.h"

namespace tolvar {

class DesktopNotifications final : public DesktopNotices {
 public:
  // `connection` is the session bus (may be null: no notices).
  explicit DesktopNotifications(GDBusConnection* connection);
  ~DesktopNotifications() override;
  DesktopNotifications(const DesktopNotifications&) = delete;
  DesktopNotifications& operator=(const DesktopNotifications&) = delete;

  void Show(const std::u16string& text) override;

 private:
  // Shared with the call under way, which may end after this object. While
  // a call is under way the newest text waits, so that it can replace the
  // notice that call shows.
  struct Shared {
    GDBusConnection* connection = nullptr;
    guint32 lastId = 0;  // the notice to replace; 0: none yet
    bool calling = false;
    bool failureReported = false;
    std::optional<std::string> waiting;
    ~Shared();
  };
  static void Send(const std::shared_ptr<Shared>& shared, const std::string& summary);

  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace tolvar
