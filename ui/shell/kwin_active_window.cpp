#include "ui/shell/kwin_active_window.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <limits>

#include "app/rules/application_rules.h"
#include "base/log.h"
#include "platform/autostart.h"

namespace vantor {
namespace {

std::string CutName(const QString& text) {
    std::string name = text.toStdString();
    if (name.size() > kMaxApplicationNameBytes) name.resize(kMaxApplicationNameBytes);
    return name;
}

QDBusMessage ScriptingCall(const char* method) {
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
        QStringLiteral("org.kde.kwin.Scripting"), QString::fromLatin1(method));
}

}  // namespace

KWinActiveWindowReceiver::KWinActiveWindowReceiver(Callback onChange, QObject* parent)
    : QObject(parent), onChange_(std::move(onChange)) {}

KWinActiveWindowReceiver::~KWinActiveWindowReceiver() {
    Stop();
}

bool KWinActiveWindowReceiver::Start(const QString& scriptPath) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        DbgLog("KWin watcher: no session bus");
        return false;
    }
    service_ = QString::fromLatin1(ApplicationId()) + QStringLiteral(".ActiveWindow");
    if (!bus.registerService(service_) ||
        !bus.registerObject(QString::fromLatin1(kKWinReportPath), this,
                            QDBusConnection::ExportScriptableSlots)) {
        DbgLog("KWin watcher: %s is taken", service_.toStdString().c_str());
        service_.clear();
        return false;
    }
    // Asked without waiting: KWin answers on its own time and then calls the receiver.
    QDBusMessage load = ScriptingCall("loadScript");
    load << scriptPath << QString::fromLatin1(kKWinScriptName);
    bus.asyncCall(load);
    bus.asyncCall(ScriptingCall("start"));
    scriptLoaded_ = true;
    return true;
}

void KWinActiveWindowReceiver::Stop() {
    if (service_.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (scriptLoaded_) {
        QDBusMessage unload = ScriptingCall("unloadScript");
        unload << QString::fromLatin1(kKWinScriptName);
        bus.asyncCall(unload);
    }
    bus.unregisterObject(QString::fromLatin1(kKWinReportPath));
    bus.unregisterService(service_);
    service_.clear();
}

void KWinActiveWindowReceiver::ActiveWindowChanged(const QString& desktopId,
                                                   const QString& resourceClass,
                                                   const QString& resourceName, qlonglong pid) {
    ActiveApplication app;
    app.desktopId = CutName(desktopId);
    app.windowClass = CutName(resourceClass);
    app.instance = CutName(resourceName);
    app.pid = pid > 0 && pid <= std::numeric_limits<int>::max() ? static_cast<long>(pid) : 0;
    if (app.desktopId.empty() && app.windowClass.empty() && app.instance.empty()) return;
    if (onChange_) onChange_(app);
}

}  // namespace vantor
