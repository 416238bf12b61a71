#include "sim/sim_protocol.h"

namespace vantor {
namespace {

constexpr unsigned kSimSum = 0x55;

}  // namespace

std::uint8_t SimClosingByte(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint8_t>(kSimSum - sum);
}

bool SimAddsUp(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return false;
    return SimClosingByte(bytes.first(bytes.size() - 1)) == bytes.back();
}

SimInputReport MakeSimReply(const std::uint8_t* command, std::uint8_t status) {
    SimInputReport report{};
    report[0] = kSimInputReportId;
    report[kSimReplyCommand] = command[kSimCommandByte];
    report[kSimReplyStatus] = status;
    for (std::size_t i = kSimAddressHighByte; i <= kSimLengthByte; ++i) report[i] = command[i];
    SealSimReport(report);
    return report;
}

SimInputReport MakeSimEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                            std::uint8_t resetValue) {
    SimInputReport report{};
    report[0] = kSimInputReportId;
    report[kSimReplyCommand] = kSimCmdEvent;
    report[kSimEventBits] = bits;
    report[kSimEventDpiValue] = dpiLevel;
    report[kSimEventRateValue] = rateCode;
    report[kSimEventResetValue] = resetValue;
    SealSimReport(report);
    return report;
}

void SealSimReport(SimInputReport& report) {
    report[kSimReplyCheck] =
        SimClosingByte(std::span<const std::uint8_t>(report.data(), kSimReplyCheck));
}

}  // namespace vantor
