#include "ui/shell/autostart_action.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "base/log.h"
#include "base/texts.h"
#include "platform/autostart.h"

namespace vantor {

namespace {

void SetAutostart(QAction* action, const std::string& programName, bool on) {
    int error = 0;
    bool done = false;
    if (on) {
        AutostartEntry entry;
        entry.id = ApplicationId();
        entry.name = programName;
        entry.executable = QCoreApplication::applicationFilePath().toStdString();
        entry.icon = ApplicationId();
        done = EnableAutostart(entry, &error);
    } else {
        done = DisableAutostart(ApplicationId(), &error);
    }
    DbgLog("Autostart: %s %s, err=%d", on ? "on" : "off", done ? "done" : "failed", error);
    // The check mark always tells what is on disk, also after a failed change.
    const QSignalBlocker quiet(action);
    action->setChecked(AutostartEnabled(ApplicationId()));
}

}  // namespace

QAction* AddAutostartAction(QMenu* menu, const std::string& programName) {
    QAction* action = menu->addAction(QString());
    action->setCheckable(true);
    action->setChecked(AutostartEnabled(ApplicationId()));
    QObject::connect(action, &QAction::toggled, action,
                     [action, programName](bool on) { SetAutostart(action, programName, on); });
    QObject::connect(menu, &QMenu::aboutToShow, action, [action] {
        const QSignalBlocker quiet(action);
        action->setChecked(AutostartEnabled(ApplicationId()));
    });
    RefreshAutostartText(action);
    return action;
}

void RefreshAutostartText(QAction* action) {
    action->setText(QString::fromStdString(Text("tc_autostart")));
}

}  // namespace vantor
