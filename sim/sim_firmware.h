// The firmware of the simulated mouse as a plain object: four on-board profiles of device
// memory, the active profile, identity, connection, battery, readiness, and the handling
// of every command report. It is strict: a command report with a wrong report id or check
// byte, an argument out of range, non-zero bytes after its data, or a memory write that
// breaks a check-byte group or holds a setting the mouse cannot take gets a reply with a
// non-zero status and changes nothing.
//
// Thread safety: every member may be called from any thread. Event reports of changes
// made on the mouse go to the event sink, which is called without the firmware's lock held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "sim/sim_profile_memory.h"
#include "sim/sim_protocol.h"

namespace vantor {

constexpr int kSimProfileCount = 4;

// Everything the mouse keeps across power cycles, and what the state file holds.
struct SimFirmwareState {
    std::array<SimProfileImage, kSimProfileCount> profiles{};
    std::uint8_t activeProfile = 0;
    std::uint8_t cid = 0;  // 0 and 0: the mouse does not identify itself
    std::uint8_t mid = 0;
    bool mouseConnected = true;  // false: receiver present, mouse switched off
    std::uint8_t batteryLevel = 100;
    bool charging = false;
    bool ready = true;  // false: the mouse cannot take a lighting change now
};

enum class SimLightingZone { kMain, kLogo, kDpiIndicator };

class SimFirmware {
  public:
    using EventSink = std::function<void(const SimInputReport&)>;

    // All four profiles start as `factoryImage`, which is also what a device reset
    // restores. `sensor` chooses the DPI steps the memory takes (0: any).
    SimFirmware(const SimProfileImage& factoryImage, std::uint8_t cid, std::uint8_t mid,
                std::uint16_t sensor = 0);

    // Handles one command report of `length` bytes (report id first). Returns the reply,
    // followed by the event report a reset causes; nothing for a report too short to name
    // a command.
    std::vector<SimInputReport> HandleReport(const std::uint8_t* report, std::size_t length);

    void SetEventSink(EventSink sink);

    // Changes made on the mouse itself; each updates device memory and sends its event.
    void PressDpiButton();                        // next level within the level count
    bool SwitchReportRate(std::uint8_t code);     // 1, 2, 4 or 8; false for any other code
    void PressLightingKey(SimLightingZone zone);  // next brightness step of that zone
    // The profile switch on the mouse: profile 0-3 becomes active and the mouse reports a
    // reset, so the utility reads it again. False for another index.
    bool SelectProfileOnMouse(std::uint8_t index);
    // The reset key combination on the mouse: the active profile returns to the factory
    // state and the reset event is sent.
    void ResetOnMouse();
    // Sends an event report as given, without changing anything.
    void SendEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                   std::uint8_t resetValue);

    void SetMouseConnected(bool connected);
    void SetBattery(std::uint8_t level, bool charging);
    void SetReady(bool ready);
    void SetIdentity(std::uint8_t cid, std::uint8_t mid);

    std::uint8_t ActiveProfile() const;
    SimProfileImage Memory(int profile) const;  // profile 0-3; others give profile 0
    std::uint8_t LastDriverStatus() const;      // the value of the last TellDrvStatus
    SimFirmwareState State() const;
    void Restore(const SimFirmwareState& state);  // an active profile above 3 becomes 0

  private:
    // `report` is a whole, well-formed command report.
    std::uint8_t HandleCommand(const std::uint8_t* report, SimInputReport& reply, bool* resetDone);
    std::uint8_t ReadMemory(const std::uint8_t* report, SimInputReport& reply);
    std::uint8_t WriteMemory(const std::uint8_t* report);
    SimProfileMemory& Active() { return memories_[activeProfile_]; }
    void Emit(const SimInputReport& report);

    mutable std::mutex mutex_;
    SimProfileImage factory_;
    std::array<SimProfileMemory, kSimProfileCount> memories_;
    std::uint8_t activeProfile_ = 0;
    std::uint8_t cid_;
    std::uint8_t mid_;
    bool mouseConnected_ = true;
    std::uint8_t batteryLevel_ = 100;
    bool charging_ = false;
    bool ready_ = true;
    std::uint8_t driverStatus_ = 0;
    EventSink sink_;
};

}  // namespace vantor
