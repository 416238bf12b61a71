// Desktop notices against a stand-in notification service on the test's private session
// bus (the test runs under dbus-run-session): what the service receives, and the fallback
// when nobody serves the name.
#include "ui/shell/desktop_notifier.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStringList>
#include <QTest>
#include <QVariantMap>
#include <vector>

namespace vantor {
namespace {

struct ReceivedNotice {
    QString appName;
    uint replacesId = 0;
    QString icon;
    QString summary;
    QString body;
    QVariantMap hints;
    int timeout = 0;
};

// Records every Notify call and answers with ids from 7 on.
class StandInNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    std::vector<ReceivedNotice> received;

  public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& /*actions*/,
                const QVariantMap& hints, int timeout) {
        received.push_back({appName, replacesId, icon, summary, body, hints, timeout});
        return 6 + static_cast<uint>(received.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
};

const NotifierIdentity kIdentity{QStringLiteral("Vantor Mouse Center"),
                                 QStringLiteral("example.vantor.Vantor"),
                                 QStringLiteral("example.vantor.Vantor")};

class DesktopNotifierTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) {
            GTEST_SKIP() << "no private session bus (dbus-run-session)";
        }
    }

    // The service sits on a connection of its own, as another process's would.
    bool StartService() {
        service_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in");
        return service_.registerObject("/org/freedesktop/Notifications", &notifications_,
                                       QDBusConnection::ExportAllSlots) &&
               service_.registerService("org.freedesktop.Notifications");
    }
    void TearDown() override {
        if (!service_.isConnected()) return;
        service_.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus("stand-in");
    }

    StandInNotifications notifications_;
    QDBusConnection service_{QString()};
};

TEST_F(DesktopNotifierTest, TheServiceGetsTheProgramsNameIconAndDesktopEntry) {
    ASSERT_TRUE(StartService());
    DesktopNotifier notifier(kIdentity, QDBusConnection::sessionBus());
    int fallbacks = 0;
    // The second notice, asked for before the service answered the first, takes its place.
    notifier.Notify("Vantor Mouse Center", "The mouse battery is low.", [&] { ++fallbacks; });
    notifier.Notify("Vantor Mouse Center", "again", [&] { ++fallbacks; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifications_.received.size() == 2; }, 5000));
    const ReceivedNotice& notice = notifications_.received[0];
    EXPECT_EQ(notice.appName, kIdentity.appName);
    EXPECT_EQ(notice.icon, kIdentity.iconName);
    EXPECT_EQ(notice.summary, "Vantor Mouse Center");
    EXPECT_EQ(notice.body, "The mouse battery is low.");
    EXPECT_EQ(notice.replacesId, 0u);
    EXPECT_EQ(notice.timeout, -1);
    EXPECT_EQ(notice.hints.value("desktop-entry").toString(), kIdentity.desktopEntry);
    EXPECT_EQ(notice.hints.value("urgency").toInt(), 1);
    EXPECT_EQ(notifications_.received[1].body, "again");
    EXPECT_EQ(notifications_.received[1].replacesId, 7u);
    EXPECT_EQ(fallbacks, 0);
}

TEST_F(DesktopNotifierTest, WithoutAServiceTheFallbackShowsTheNoticeOnce) {
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.Notifications"));
    DesktopNotifier notifier(kIdentity, QDBusConnection::sessionBus());
    int fallbacks = 0;
    notifier.Notify("title", "text", [&] { ++fallbacks; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallbacks > 0; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(fallbacks, 1);

    DesktopNotifier unconnected(kIdentity, QDBusConnection(QStringLiteral("no such bus")));
    unconnected.Notify("title", "text", [&] { ++fallbacks; });
    EXPECT_EQ(fallbacks, 2);  // at once: there is no bus to ask
}

}  // namespace
}  // namespace vantor

#include "desktop_notifier_test.moc"
