// Resume from sleep over D-Bus: a private bus daemon stands in for the
// system bus, a second connection owning the login manager's name emits
// PrepareForSleep, and the listener must call the resume handler.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <chrono>
#include <memory>
#include <string>

#include "platform/qt/logind_resume.h"
#include "support/private_bus.h"

extern char** environ;

namespace tolvar {
namespace {

const QString kLoginService = QStringLiteral("org.freedesktop.login1");

// Counts every PrepareForSleep the listening connection receives, from any
// sender, so a test knows when all it sent has arrived.
class SignalProbe : public QObject {
  Q_OBJECT

 public:
  explicit SignalProbe(QDBusConnection bus) {
    bus.connect(QString(), QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                QStringLiteral("PrepareForSleep"), this, SLOT(OnSignal(bool)));
  }
  int received = 0;

 private Q_SLOTS:
  void OnSignal(bool) { ++received; }
};

using testing::PrivateBus;

class ResumeOverDBus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "resume_dbus";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QCoreApplication>(argc, argv);
    bus_ = std::make_unique<PrivateBus>();
  }
  static void TearDownTestSuite() {
    bus_.reset();
    application_.reset();
  }

  void SetUp() override {
    ASSERT_FALSE(bus_->Address().empty()) << "dbus-daemon did not start";
    ++connection_;
    login_ = std::make_unique<QDBusConnection>(Connect("login"));
    ASSERT_TRUE(login_->registerService(kLoginService));
    listener_ = std::make_unique<QDBusConnection>(Connect("listener"));
    resume_ = std::make_unique<LogindResume>(*listener_, [this] { ++resumed_; });
    ASSERT_TRUE(resume_->IsListening());
    probe_ = std::make_unique<SignalProbe>(*listener_);
  }
  void TearDown() override {
    probe_.reset();
    resume_.reset();
    if (login_) login_->unregisterService(kLoginService);
    for (const char* role : {"login", "listener", "impostor"}) {
      QDBusConnection::disconnectFromBus(Name(role));
    }
  }

  QString Name(const char* role) const { return QStringLiteral("%1-%2").arg(role).arg(connection_); }
  QDBusConnection Connect(const char* role) {
    return QDBusConnection::connectToBus(QString::fromStdString(bus_->Address()), Name(role));
  }

  static void Emit(QDBusConnection& from, bool goingToSleep) {
    QDBusMessage signal =
        QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                   QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
    signal << goingToSleep;
    ASSERT_TRUE(from.send(signal));
    from.interface()->isServiceRegistered(kLoginService);  // a round trip: the daemon has the signal
  }

  // Runs the event loop until the listener has received `count` signals
  // (or gives up).
  bool WaitForSignals(int count) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (probe_->received < count) {
      if (std::chrono::steady_clock::now() > giveUp) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
  }

  static inline std::unique_ptr<QCoreApplication> application_;
  static inline std::unique_ptr<PrivateBus> bus_;
  static inline int connection_ = 0;
  std::unique_ptr<QDBusConnection> login_;
  std::unique_ptr<QDBusConnection> listener_;
  std::unique_ptr<LogindResume> resume_;
  std::unique_ptr<SignalProbe> probe_;
  int resumed_ = 0;
};

TEST_F(ResumeOverDBus, WakingUpCallsTheResumeHandler) {
  Emit(*login_, false);
  ASSERT_TRUE(WaitForSignals(1));
  EXPECT_EQ(resumed_, 1);
  Emit(*login_, false);
  ASSERT_TRUE(WaitForSignals(2));
  EXPECT_EQ(resumed_, 2);
}

TEST_F(ResumeOverDBus, GoingToSleepIsNotAResume) {
  Emit(*login_, true);
  ASSERT_TRUE(WaitForSignals(1));
  EXPECT_EQ(resumed_, 0);
  Emit(*login_, false);
  ASSERT_TRUE(WaitForSignals(2));
  EXPECT_EQ(resumed_, 1);
}

TEST_F(ResumeOverDBus, SignalFromAnotherSenderIsIgnored) {
  QDBusConnection impostor = Connect("impostor");
  Emit(impostor, false);
  ASSERT_TRUE(WaitForSignals(1));
  EXPECT_EQ(resumed_, 0);
  Emit(*login_, false);
  ASSERT_TRUE(WaitForSignals(2));
  EXPECT_EQ(resumed_, 1);
}

TEST(ResumeWithoutABus, DoesNotListenAndDoesNotFail) {
  QDBusConnection none =
      QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no-bus"));
  LogindResume resume(none, [] { FAIL() << "no resume without a bus"; });
  EXPECT_FALSE(resume.IsListening());
  QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

}  // namespace
}  // namespace tolvar

#include "resume_dbus_test.moc"
