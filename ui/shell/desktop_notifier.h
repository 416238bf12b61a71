// Desktop notifications through the session's notification service
// (org.freedesktop.Notifications on the session bus), which GNOME Shell, Plasma and the
// other desktops show in their own style and keep in their notification lists. Each notice
// carries the program's name, its icon from the icon theme and its desktop entry, so the
// desktop shows it as the program's and applies the user's notification settings for it.
#pragma once

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace vantor {

struct NotifierIdentity {
    QString appName;       // the program's name as the notification shows it
    QString iconName;      // an icon theme name
    QString desktopEntry;  // the desktop entry's name without ".desktop"
};

class DesktopNotifier : public QObject {
    Q_OBJECT

  public:
    DesktopNotifier(NotifierIdentity identity, QDBusConnection bus, QObject* parent = nullptr);

    // Hands the notice to the service and returns at once. A notice replaces the previous
    // one while the desktop still shows it; one asked for while the service has not yet
    // answered the previous waits for that answer (a newer one takes its place). Where there is no
    // service (no session bus, nobody owns the name, the call fails), `fallback` runs on this
    // object's thread, once, to show the notice another way.
    void Notify(const QString& summary, const QString& body, std::function<void()> fallback);

  private:
    struct Notice {
        QString summary;
        QString body;
        std::function<void()> fallback;
    };
    void Send(Notice notice);
    void Answered(const Notice& notice, QDBusPendingCallWatcher* call);

    NotifierIdentity identity_;
    QDBusConnection bus_;
    uint lastId_ = 0;       // the service's id of the last notice, which the next one replaces
    bool waiting_ = false;  // a notice is on its way to the service
    std::optional<Notice> queued_;  // the notice that follows when the service answers
};

}  // namespace vantor
