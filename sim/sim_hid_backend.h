// A HidBackend in front of the simulated mouse. Each connection of the mouse shows four
// interfaces, as the real receiver does: the vendor-defined command interface (feature
// report id 8, 17 bytes), the vendor-defined notification interface (input report id 9,
// 17 bytes), and a boot mouse and a keyboard interface that discovery must skip. A
// command written to the command interface is handed to the firmware; its reply, and any
// event, can be read from every open handle of the same connection's notification
// interface. Connection 0 uses the product id, connection 1 (when asked for) the second
// product id: the same mouse on a cable and a receiver at once.
//
// Paths are "sim:<connection>/cmd", "/notify", "/mouse" and "/kbd". Device changes are
// reported on the thread that plugs or unplugs a connection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid.h"
#include "sim/sim_faults.h"
#include "sim/sim_firmware.h"

namespace vantor {

struct SimBackendSettings {
    std::uint16_t vendorId = 0x25A7;
    std::uint16_t productId = 0xFA70;
    std::uint16_t versionNumber = 0x0100;
    bool cableAndReceiver = false;  // also show connection 1 on secondProductId
    std::uint16_t secondProductId = 0xFA7C;
};

enum class SimInterface { kCommand, kNotify, kMouse, kKeyboard };

struct SimBus;

class SimHidBackend : public HidBackend {
  public:
    explicit SimHidBackend(std::shared_ptr<SimFirmware> firmware,
                           const SimBackendSettings& settings = {});
    ~SimHidBackend() override;
    SimHidBackend(const SimHidBackend&) = delete;
    SimHidBackend& operator=(const SimHidBackend&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<HidHandle> Open(const std::string& path, std::uint32_t* error) override;
    std::unique_ptr<Monitor> WatchDeviceChanges(
        std::function<void(const HidDeviceChange&)> callback) override;

    SimFirmware& Firmware() const { return *firmware_; }

    // Replaces the faults and restarts their counters.
    void SetFaults(const SimFaults& faults);

    // Unplugging fails every open handle of the connection with 1167 and hides its
    // interfaces; plugging it in again shows them again (old handles stay dead).
    void Unplug(int connection = 0);
    void Plug(int connection = 0);
    bool IsPlugged(int connection = 0) const;
    int ConnectionCount() const;

    // The receiver's keyboard and consumer-control reports (sim_foreign_reports.h) on the
    // connection's notification interface.
    void SendForeignReports(int connection = 0);

    // Command reports accepted since the faults were last set.
    std::uint64_t CommandCount() const;

    static std::string PathOf(int connection, SimInterface which);

  private:
    std::shared_ptr<SimFirmware> firmware_;
    std::shared_ptr<SimBus> bus_;
};

}  // namespace vantor
