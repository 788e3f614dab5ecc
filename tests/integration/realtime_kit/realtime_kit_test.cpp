// The RealtimeKit request against a private bus daemon standing in for the
// system bus, with a stand-in service that owns RealtimeKit's name, tells
// its limits and records (or refuses) each request.
#include "platform/linux/realtime_kit.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "support/private_bus.h"

extern char** environ;

namespace tolvar {
namespace {

constexpr const char* kServiceName = "org.freedesktop.RealtimeKit1";

using testing::PrivateBus;

struct Request {
  std::uint64_t process = 0;
  std::uint64_t thread = 0;
  std::uint32_t priority = 0;
  rlim_t rtTimeLimit = 0;  // this process's hard RLIMIT_RTTIME when the request came
};

constexpr const char* kIntrospection = R"(
<node>
  <interface name="org.freedesktop.RealtimeKit1">
    <method name="MakeThreadRealtimeWithPID">
      <arg name="process" type="t" direction="in"/>
      <arg name="thread" type="t" direction="in"/>
      <arg name="priority" type="u" direction="in"/>
    </method>
    <property name="MaxRealtimePriority" type="i" access="read"/>
    <property name="RTTimeUSecMax" type="x" access="read"/>
  </interface>
</node>)";

// The stand-in service, served from its own thread and main loop.
class StandInRealtimeKit {
 public:
  StandInRealtimeKit(const std::string& address, int maxPriority, std::int64_t rtTimeMax, bool refuse)
      : maxPriority_(maxPriority),
        rtTimeMax_(rtTimeMax),
        refuse_(refuse),
        thread_([this, address] { Serve(address); }) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ready_; });
  }
  ~StandInRealtimeKit() {
    {
      std::lock_guard lock(mutex_);
      if (loop_ != nullptr) g_main_loop_quit(loop_);
    }
    thread_.join();
  }
  bool Owned() {
    std::lock_guard lock(mutex_);
    return owned_;
  }
  std::optional<Request> LastRequest() {
    std::lock_guard lock(mutex_);
    return request_;
  }

 private:
  void Serve(const std::string& address) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    bool owned = false;
    if (connection != nullptr && node != nullptr) {
      static const GDBusInterfaceVTable vtable{&OnMethod, &OnGetProperty, nullptr, {}};
      g_dbus_connection_register_object(connection, "/org/freedesktop/RealtimeKit1", node->interfaces[0], &vtable, this,
                                        nullptr, nullptr);
      GVariant* reply = g_dbus_connection_call_sync(
          connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
          g_variant_new("(su)", kServiceName, 4u), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
      if (reply != nullptr) {
        guint32 result = 0;
        g_variant_get(reply, "(u)", &result);
        owned = result == 1;  // primary owner
        g_variant_unref(reply);
      }
    }
    {
      std::lock_guard lock(mutex_);
      owned_ = owned;
      loop_ = loop;
      ready_ = true;
    }
    changed_.notify_all();
    g_main_loop_run(loop);
    {
      std::lock_guard lock(mutex_);
      loop_ = nullptr;
    }
    if (node != nullptr) g_dbus_node_info_unref(node);
    if (connection != nullptr) {
      g_dbus_connection_close_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
    g_main_loop_unref(loop);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
  }

  static void OnMethod(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                       GDBusMethodInvocation* invocation, gpointer self) {
    auto* service = static_cast<StandInRealtimeKit*>(self);
    Request request;
    g_variant_get(parameters, "(ttu)", &request.process, &request.thread, &request.priority);
    struct rlimit limit {};
    getrlimit(RLIMIT_RTTIME, &limit);
    request.rtTimeLimit = limit.rlim_max;
    {
      std::lock_guard lock(service->mutex_);
      service->request_ = request;
    }
    if (service->refuse_) {
      g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.AccessDenied",
                                                 "Operation not permitted");
    } else {
      g_dbus_method_invocation_return_value(invocation, nullptr);
    }
  }

  static GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property,
                                 GError**, gpointer self) {
    auto* service = static_cast<StandInRealtimeKit*>(self);
    if (g_strcmp0(property, "MaxRealtimePriority") == 0) return g_variant_new_int32(service->maxPriority_);
    return g_variant_new_int64(service->rtTimeMax_);
  }

  const int maxPriority_;
  const std::int64_t rtTimeMax_;
  const bool refuse_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ready_ = false;
  bool owned_ = false;
  GMainLoop* loop_ = nullptr;
  std::optional<Request> request_;
  std::thread thread_;
};

constexpr std::int64_t kServiceRtTimeMax = 150000;

class RealtimeKitRequest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(bus.Address().empty()) << "dbus-daemon did not start"; }
  PrivateBus bus;
};

TEST_F(RealtimeKitRequest, CarriesTheProcessAndThreadIdsAndCapsTheRealtimeBudgetFirst) {
  StandInRealtimeKit service(bus.Address(), 20, kServiceRtTimeMax, false);
  ASSERT_TRUE(service.Owned());

  EXPECT_EQ(RequestRealtimeKit(bus.Address(), getpid(), gettid(), 10), 10);

  const std::optional<Request> request = service.LastRequest();
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->process, static_cast<std::uint64_t>(getpid()));
  EXPECT_EQ(request->thread, static_cast<std::uint64_t>(gettid()));
  EXPECT_EQ(request->priority, 10u);
  EXPECT_LE(request->rtTimeLimit, static_cast<rlim_t>(kServiceRtTimeMax));
}

TEST_F(RealtimeKitRequest, AsksNoMoreThanTheServiceAllows) {
  StandInRealtimeKit service(bus.Address(), 4, kServiceRtTimeMax, false);
  ASSERT_TRUE(service.Owned());
  EXPECT_EQ(RequestRealtimeKit(bus.Address(), getpid(), gettid(), 10), 4);
  ASSERT_TRUE(service.LastRequest().has_value());
  EXPECT_EQ(service.LastRequest()->priority, 4u);
}

TEST_F(RealtimeKitRequest, RefusalIsNoGrant) {
  StandInRealtimeKit service(bus.Address(), 20, kServiceRtTimeMax, true);
  ASSERT_TRUE(service.Owned());
  EXPECT_EQ(RequestRealtimeKit(bus.Address(), getpid(), gettid(), 10), std::nullopt);
  EXPECT_TRUE(service.LastRequest().has_value());
}

TEST_F(RealtimeKitRequest, ServiceWithoutRealtimePrioritiesIsNotAsked) {
  StandInRealtimeKit service(bus.Address(), 0, kServiceRtTimeMax, false);
  ASSERT_TRUE(service.Owned());
  EXPECT_EQ(RequestRealtimeKit(bus.Address(), getpid(), gettid(), 10), std::nullopt);
  EXPECT_FALSE(service.LastRequest().has_value());
}

TEST_F(RealtimeKitRequest, NoServiceOnTheBusIsNoGrant) {
  EXPECT_EQ(RequestRealtimeKit(bus.Address(), getpid(), gettid(), 10), std::nullopt);
}

TEST(RealtimeKitBus, UnreachableBusIsNoGrant) {
  EXPECT_EQ(RequestRealtimeKit("unix:path=/nonexistent/bus", getpid(), gettid(), 10), std::nullopt);
}

}  // namespace
}  // namespace tolvar
