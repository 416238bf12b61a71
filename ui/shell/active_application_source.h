// The application in front, from whichever source the desktop offers (X11 property events,
// the KWin script on KDE Plasma under Wayland), reported on the window thread. Watching
// runs only between Start and Stop, so a program with its rules off does no more work
// than one without them.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/active_window.h"

namespace vantor {

class KWinActiveWindowReceiver;
class X11ActiveWindowWatcher;

class ActiveApplicationSource : public QObject {
  public:
    using Callback = std::function<void(const ActiveApplication&)>;

    // `programDir` holds the KWin script (kwin/active_window.js).
    ActiveApplicationSource(std::string programDir, Callback onChange, QObject* parent = nullptr);
    ~ActiveApplicationSource() override;

    // Whether this desktop can tell which application is in front.
    ActiveWindowBackend Backend() const { return backend_; }
    bool IsAvailable() const { return backend_ != ActiveWindowBackend::kNone; }

    // Starts watching (the application in front now is reported first); false when the
    // desktop offers no way or it failed.
    bool Start();
    void Stop();
    bool IsWatching() const;

    // The applications with a window now (X11), or those seen in front since the start
    // (KWin); the program's own windows are left out.
    std::vector<ActiveApplication> RunningApplications() const;

  private:
    void Report(const ActiveApplication& app);

    std::string programDir_;
    Callback onChange_;
    ActiveWindowBackend backend_ = ActiveWindowBackend::kNone;
    std::unique_ptr<X11ActiveWindowWatcher> x11_;
    std::unique_ptr<KWinActiveWindowReceiver> kwin_;
    std::vector<ActiveApplication> seen_;
};

}  // namespace vantor
