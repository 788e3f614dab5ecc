// A test's own connection to a private bus, with a thread that runs its
// callbacks: it reads properties, calls methods, records PropertiesChanged
// of the program, and plays stand-in services (a method handler per object).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tolvar::testing {

// One call a stand-in service received: its object, method and arguments
// printed by GLib (for instance "(3,)").
struct ReceivedCall {
  std::string object;
  std::string method;
  std::string arguments;
};

class BusPeer {
 public:
  explicit BusPeer(const std::string& address);
  ~BusPeer();
  BusPeer(const BusPeer&) = delete;
  BusPeer& operator=(const BusPeer&) = delete;

  bool NameHasOwner(const std::string& name);
  // A property of the program's interface, printed by GLib ("3", "true").
  std::optional<std::string> ProgramProperty(const std::string& name);
  // Calls a method of the program; "" when it succeeded, else the D-Bus error name.
  std::string CallProgram(const std::string& method, GVariant* parameters);
  // Every PropertiesChanged of the program so far, as "Name=value".
  std::vector<std::string> PropertyChanges();

  // Plays a service: owns `name` and answers every method of `interfaceXml`
  // on `object` with `reply(method, arguments)` (null: an empty reply).
  using Reply = std::function<GVariant*(const std::string& method, GVariant* arguments)>;
  void Serve(const std::string& name, const std::string& object, const std::string& interfaceXml, Reply reply);
  std::vector<ReceivedCall> Calls();

  // Runs `task` on the callback thread and waits for it.
  void RunOnLoop(std::function<void()> task);

 private:
  struct Service {
    BusPeer* peer;
    Reply reply;
    GDBusNodeInfo* node;
  };

  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> changes_;
  std::vector<ReceivedCall> calls_;
  std::vector<Service*> services_;
};

}  // namespace tolvar::testing
