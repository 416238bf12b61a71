#include "sim/sim_protocol.h"

#include <span>

#include "profile/check_byte.h"

namespace vantor {

SimInputReport MakeSimReply(const std::uint8_t* command, std::uint8_t status) {
    SimInputReport report{};
    report[0] = kReplyReportId;
    report[kSimReplyCommand] = command[1 + kPayloadCommand];
    report[kSimReplyStatus] = status;
    for (std::size_t i = kPayloadAddressHigh; i <= kPayloadLengthByte; ++i) {
        report[1 + i] = command[1 + i];
    }
    SealSimReport(report);
    return report;
}

SimInputReport MakeSimEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                            std::uint8_t resetValue) {
    SimInputReport report{};
    report[0] = kReplyReportId;
    report[kSimReplyCommand] = kCmdDeviceEvent;
    report[kSimEventBits] = bits;
    report[kSimEventDpiValue] = dpiLevel;
    report[kSimEventRateValue] = rateCode;
    report[kSimEventResetValue] = resetValue;
    SealSimReport(report);
    return report;
}

void SealSimReport(SimInputReport& report) {
    SealGroup(std::span<std::uint8_t>(report));
}

}  // namespace vantor
