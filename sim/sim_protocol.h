// What the simulated mouse sends back: reply and event reports (input report id 9, 17
// bytes), the status codes of its replies and the bits of its event reports. The command
// ids and payload positions are those of the command channel (device/report.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/report.h"

namespace vantor {

using SimInputReport = std::array<std::uint8_t, kReportLength>;

// Reply status byte. Any non-zero value is a refusal; the codes tell tests why.
enum SimStatus : std::uint8_t {
    kSimOk = 0,
    kSimBadReport = 0x01,      // wrong report id or check byte of the command report
    kSimBadCommand = 0x02,     // unknown command id
    kSimBadArgument = 0x03,    // length, address or profile index out of range
    kSimBadGroupCheck = 0x04,  // a written memory group does not add up to 0x55
    kSimNotConnected = 0x05,   // the receiver cannot reach the mouse (switched off)
    kSimInjectedError = 0x7F,  // status forced by fault injection
};

// Event bits in reply byte 5 of an event report (command id 0x0A).
enum SimEventBit : std::uint8_t {
    kSimEventDpiLevel = 0x01,    // new level index in reply byte 6
    kSimEventReportRate = 0x02,  // rate code in reply byte 7
    kSimEventReset = 0x04,       // value in reply byte 9
    kSimEventDpiIndicator = 0x20,
    kSimEventLogoLighting = 0x40,
    kSimEventMainLighting = 0x80,
};

// Positions inside an input report (report id at 0, so reply byte n is report byte n + 1).
constexpr std::size_t kSimReplyCommand = 1;
constexpr std::size_t kSimReplyStatus = 2;
constexpr std::size_t kSimReplyData = 6;  // reply data byte 0
constexpr std::size_t kSimEventBits = 6;
constexpr std::size_t kSimEventDpiValue = 7;
constexpr std::size_t kSimEventRateValue = 8;
constexpr std::size_t kSimEventResetValue = 10;

// A reply to `command`: the command's payload bytes 2-4 (address, length) are echoed, the
// status set, the data zero, and the device's check byte closes the report.
SimInputReport MakeSimReply(const std::uint8_t* command, std::uint8_t status);

// An event report with the given bits and values.
SimInputReport MakeSimEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                            std::uint8_t resetValue);

// Recomputes the device's check byte after the data bytes were filled in.
void SealSimReport(SimInputReport& report);

}  // namespace vantor
