// The simulated mouse's notices reach the handler on the thread that runs
// the Qt event loop.
#include "platform/qt/sim_notices_qt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "mouse_descriptor.h"
#include "simulator.h"
#include "socket_transport.h"

namespace tolvar {
namespace {

using mousesim::CommandKind;
using ::testing::ElementsAre;
using ::testing::Pair;

TEST(SimNoticesQtTest, RemovalAndArrivalComeOnTheEventLoopThread) {
  int argc = 1;
  char name[] = "sim_notices_qt_tests";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / ("sim_notices_qt_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string socketPath = (folder / "mouse.sock").string();
  mousesim::EventLog log;
  mousesim::Simulator simulator(log);
  mousesim::SocketTransport transport(socketPath, mousesim::Identity(), simulator);
  std::string error;
  ASSERT_TRUE(transport.Listen(error)) << error;
  simulator.Attach(transport);
  ASSERT_TRUE(simulator.Start(error)) << error;

  std::vector<std::pair<DeviceEvent, std::string>> seen;
  std::vector<std::thread::id> threads;
  SimNoticesQt notices(socketPath);
  notices.Start([&](DeviceEvent event, const std::string& path) {
    seen.emplace_back(event, path);
    threads.push_back(std::this_thread::get_id());
    if (seen.size() == 2) app.quit();
  });

  std::thread commands([&simulator] {
    simulator.Execute({CommandKind::Unplug});
    simulator.Execute({CommandKind::Plug});
  });
  QTimer::singleShot(10000, &app, &QCoreApplication::quit);  // a guard, so a fault fails instead of hanging
  app.exec();
  commands.join();

  EXPECT_THAT(seen, ElementsAre(Pair(DeviceEvent::Removal, "sim:" + socketPath),
                                Pair(DeviceEvent::Arrival, "sim:" + socketPath)));
  EXPECT_THAT(threads, ::testing::Each(std::this_thread::get_id()));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tolvar
