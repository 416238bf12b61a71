#include "device/report.h"

#include <algorithm>

namespace vantor {

std::uint8_t ReportCheckByte(const std::uint8_t* bytes16) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kReportLength - 1; ++i) sum += bytes16[i];
    return static_cast<std::uint8_t>(kReportSum - sum);
}

CommandReport BuildCommandReport(const CommandPayload& payload) {
    CommandReport report{};
    report[0] = kCommandReportId;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    report[kReportLength - 1] = ReportCheckByte(report.data());
    return report;
}

CommandPayload MakePayload(std::uint8_t command) {
    CommandPayload payload{};
    payload[kPayloadCommand] = command;
    return payload;
}

CommandPayload MakeMemoryPayload(std::uint8_t command, std::uint16_t address,
                                 const std::uint8_t* data, std::size_t length) {
    CommandPayload payload = MakePayload(command);
    length = std::min(length, kMaxDataBytes);
    payload[kPayloadAddressHigh] = static_cast<std::uint8_t>(address >> 8);
    payload[kPayloadAddressLow] = static_cast<std::uint8_t>(address & 0xFF);
    payload[kPayloadLengthByte] = static_cast<std::uint8_t>(length);
    if (data != nullptr) std::copy(data, data + length, payload.begin() + kPayloadData);
    return payload;
}

}  // namespace vantor
