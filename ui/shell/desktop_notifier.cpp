#include "ui/shell/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <utility>

#include "base/log.h"

namespace vantor {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr uchar kUrgencyNormal = 1;
constexpr int kServerChoosesTimeout = -1;

}  // namespace

DesktopNotifier::DesktopNotifier(NotifierIdentity identity, QDBusConnection bus, QObject* parent)
    : QObject(parent), identity_(std::move(identity)), bus_(std::move(bus)) {}

void DesktopNotifier::Notify(const QString& summary, const QString& body,
                             std::function<void()> fallback) {
    Notice notice{summary, body, std::move(fallback)};
    if (waiting_) {
        queued_ = std::move(notice);
        return;
    }
    Send(std::move(notice));
}

void DesktopNotifier::Send(Notice notice) {
    if (!bus_.isConnected()) {
        DbgLog("Notify: no session bus");
        if (notice.fallback) notice.fallback();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), identity_.desktopEntry);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(kUrgencyNormal));
    call << identity_.appName << lastId_ << identity_.iconName << notice.summary << notice.body
         << QStringList() << hints << kServerChoosesTimeout;
    waiting_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notice = std::move(notice)](QDBusPendingCallWatcher* answer) {
                Answered(notice, answer);
            });
}

void DesktopNotifier::Answered(const Notice& notice, QDBusPendingCallWatcher* call) {
    call->deleteLater();
    waiting_ = false;
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        DbgLog("Notify: %s", reply.error().name().toUtf8().constData());
        if (notice.fallback) notice.fallback();
    } else {
        lastId_ = reply.value();
    }
    if (queued_) {
        Notice next = std::move(*queued_);
        queued_.reset();
        Send(std::move(next));
    }
}

}  // namespace vantor
