// The application in front on KDE Plasma under Wayland, where no program may look at other
// windows: a KWin script (shipped as kwin/active_window.js in the program folder) reports
// each newly active window over D-Bus to this receiver, which the window program registers
// on the session bus as "<application id>.ActiveWindow", object "/ActiveWindow". Nothing
// polls: the receiver runs only when KWin calls it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "platform/active_window.h"

namespace vantor {

inline constexpr const char* kKWinReportPath = "/ActiveWindow";
inline constexpr const char* kKWinScriptName = "vantor-active-window";

class KWinActiveWindowReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "vantor.ActiveWindow")
  public:
    using Callback = std::function<void(const ActiveApplication&)>;
    KWinActiveWindowReceiver(Callback onChange, QObject* parent = nullptr);
    ~KWinActiveWindowReceiver() override;

    // Registers on the session bus and asks KWin to run the script at `scriptPath`; false
    // (with the reason logged) when there is no session bus or the name is taken.
    bool Start(const QString& scriptPath);

  public slots:
    // Called by the script. Texts longer than an application name can be are cut; a
    // negative or absurd process id counts as unknown.
    Q_SCRIPTABLE void ActiveWindowChanged(const QString& desktopId, const QString& resourceClass,
                                          const QString& resourceName, qlonglong pid);

  private:
    void Stop();

    Callback onChange_;
    QString service_;
    bool scriptLoaded_ = false;
};

}  // namespace vantor
