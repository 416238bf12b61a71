// The simulated mouse behind the kernel's uhid interface. A feature report that a program
// writes to the command node reaches the firmware through UHID_SET_REPORT and is accepted
// with UHID_SET_REPORT_REPLY at once; the firmware's replies and event reports leave
// through the notification node as input reports (UHID_INPUT2), after an optional delay.
// The bridge can switch the mouse off and on, unplug it (UHID_DESTROY) and plug it in,
// and send the receiver's keyboard and consumer-control reports on the notification node,
// whose device carries those collections beside the vendor one.
//
// Single-threaded: the owner's loop waits on the descriptors, calls ServiceKernel when one
// is readable and SendDueReports when the time it returned has come.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_firmware.h"
#include "tools/uhid-bridge/mouse_descriptors.h"
#include "tools/uhid-bridge/uhid_device.h"

namespace vantor {

struct BridgeIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
};

using BridgeDevices = std::array<std::unique_ptr<UhidDevice>, kBridgeInterfaceCount>;

class UhidMouseBridge {
  public:
    using Clock = std::chrono::steady_clock;

    // `devices` in the order of kBridgeInterfaces.
    UhidMouseBridge(std::shared_ptr<SimFirmware> firmware, BridgeIds ids, BridgeDevices devices);
    ~UhidMouseBridge();
    UhidMouseBridge(const UhidMouseBridge&) = delete;
    UhidMouseBridge& operator=(const UhidMouseBridge&) = delete;

    // Creates the three devices; false when one is refused (those created stay).
    bool Plug();
    // Destroys them; reports not yet sent are dropped, as a real unplug loses them.
    bool Unplug();
    bool IsPlugged() const { return plugged_; }

    int Fd(BridgeInterface which) const;

    // Answers every request the kernel has queued on `which`.
    void ServiceKernel(BridgeInterface which, Clock::time_point now);

    // Sends the reports that are due; returns the milliseconds until the next one is due,
    // or -1 when none waits.
    int SendDueReports(Clock::time_point now);

    // Delay between a command and its reply (and any event it causes).
    void SetReplyDelay(std::chrono::milliseconds delay) { replyDelay_ = delay; }

    // One line of the control channel: "off", "on", "unplug", "plug", "dpi-button",
    // "delay MS", "foreign" (the keyboard and consumer reports once, then their releases),
    // "foreign-replies on|off" (those reports before every reply), "quit". Returns the
    // answer ("ok <command>" or "error: <why>").
    std::string Control(std::string_view line);
    bool QuitRequested() const { return quit_; }

  private:
    struct Pending {
        Clock::time_point due;
        std::vector<std::uint8_t> report;
    };

    UhidDevice& Device(BridgeInterface which) const;
    void HandleSetReport(BridgeInterface which, const UhidRequest& request, Clock::time_point now);
    void Queue(std::span<const std::uint8_t> report, Clock::time_point due);
    void QueueForeignReports(Clock::time_point due);

    std::shared_ptr<SimFirmware> firmware_;
    BridgeIds ids_;
    BridgeDevices devices_;
    bool plugged_ = false;
    bool quit_ = false;
    std::chrono::milliseconds replyDelay_{0};
    bool foreignBeforeReplies_ = false;
    std::deque<Pending> pending_;
};

}  // namespace vantor
