// The main window's side of the device session: its timers as Qt timers and discovery as
// the session's device finder.
#pragma once

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "app/session/device_session.h"
#include "device/discovery.h"

namespace vantor {

// Window timers by id. A tick calls `onTick(id)`; the session stops the one-shot timers
// itself.
class QtSessionTimers : public QObject, public SessionTimers {
  public:
    explicit QtSessionTimers(std::function<void(int)> onTick, QObject* parent = nullptr);
    void Start(int id, int periodMs) override;
    void Stop(int id) override;
    bool IsRunning(int id) const override;

  private:
    std::function<void(int)> onTick_;
    std::map<int, QTimer*> timers_;
};

class DiscoveryFinder : public DeviceFinder {
  public:
    explicit DiscoveryFinder(Discovery& discovery) : discovery_(discovery) {}
    int FindDev() override { return discovery_.FindDev(); }
    std::optional<DevParam> GetCurParam() override { return discovery_.GetCurParam(); }
    int FindOkNum() override { return discovery_.matchedCount.load(); }
    bool AccessDenied() override { return discovery_.AccessDenied(); }

  private:
    Discovery& discovery_;
};

}  // namespace vantor
