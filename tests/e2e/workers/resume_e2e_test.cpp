// Resume from sleep: the login manager's PrepareForSleep(false) on the
// system bus makes the running program send the whole profile to the mouse
// again. A private bus daemon stands in for the system bus; the test owns
// the login manager's name on it and emits the signals.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <thread>

#include "support/program_under_test.h"

namespace tolvar::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSettingsReports = 22;

void EmitPrepareForSleep(QDBusConnection& bus, bool goingToSleep) {
  QDBusMessage signal =
      QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                 QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
  signal << goingToSleep;
  ASSERT_TRUE(bus.send(signal));
}

TEST(ResumeE2eTest, WakingUpSendsTheSameSettingsAgainAndGoingToSleepSendsNothing) {
  ProgramUnderTest test;
  const std::string address = test.StartPrivateBus();

  // The login manager is on the bus before the program starts, as on a desktop.
  int argc = 1;
  char name[] = "resume_e2e_tests";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  QDBusConnection login = QDBusConnection::connectToBus(QString::fromStdString(address), QStringLiteral("login"));
  ASSERT_TRUE(login.isConnected()) << login.lastError().message().toStdString();
  ASSERT_TRUE(login.registerService(QStringLiteral("org.freedesktop.login1")));

  test.StartSimulator();
  test.StartProgram(true, {}, {{"DBUS_SYSTEM_BUS_ADDRESS", address}});
  ASSERT_TRUE(test.WaitForFeatureReports(kSettingsReports, 30s)) << "the settings never reached the mouse";

  EmitPrepareForSleep(login, true);
  EmitPrepareForSleep(login, false);
  ASSERT_TRUE(test.WaitForFeatureReports(2 * kSettingsReports, 30s)) << "waking up sent the settings not again";
  // Anything more (a reaction to going to sleep) would follow soon.
  std::this_thread::sleep_for(500ms);

  const auto reports = FeatureReports(test.SimLog());
  ASSERT_EQ(reports.size(), 2 * kSettingsReports) << "once at start, once on waking up";
  for (std::size_t i = 0; i < kSettingsReports; ++i) {
    EXPECT_EQ(Hex(reports[kSettingsReports + i].bytes), Hex(reports[i].bytes)) << "report " << i;
  }
  EXPECT_TRUE(test.Program().Running());

  login.unregisterService(QStringLiteral("org.freedesktop.login1"));
  QDBusConnection::disconnectFromBus(QStringLiteral("login"));
}

}  // namespace
}  // namespace tolvar::testing
