// The "Simulated mouse" menu: what a user would do on the simulated mouse itself (DPI
// button, report-rate switch, lighting keys, profile switch, reset), its battery, and
// unplugging and plugging its receiver.
#pragma once

#include <QMenu>
#include <functional>

#include "sim/sim_firmware.h"
#include "sim/sim_hid_backend.h"

namespace vantor {

class SimMenu : public QMenu {
    Q_OBJECT
  public:
    SimMenu(SimFirmware& firmware, SimHidBackend& backend, QWidget* parent = nullptr);

    // Called after the battery changed, so the program can ask at once instead of at its
    // next battery poll.
    void SetBatteryChanged(std::function<void()> changed) { batteryChanged_ = std::move(changed); }

  private:
    void AddBatteryMenu();
    void SetBattery(int level);

    SimFirmware& firmware_;
    SimHidBackend& backend_;
    int batteryLevel_ = 100;
    bool charging_ = false;
    QAction* plugged_ = nullptr;
    std::function<void()> batteryChanged_;
};

}  // namespace vantor
