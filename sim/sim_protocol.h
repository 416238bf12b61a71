// The wire format of the simulated mouse, written from the device's side: the command
// reports it accepts (feature report id 8), the reply and event reports it sends (input
// report id 9), the command ids it knows, the status codes of its replies and the bits of
// its event reports. The simulated mouse keeps its own copy of these numbers so that a
// framing mistake of the PC side cannot hide behind the same mistake in the mouse.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vantor {

// Both kinds of report are 17 bytes, report id included.
constexpr std::size_t kSimReportBytes = 17;
constexpr std::uint8_t kSimCommandReportId = 8;
constexpr std::uint8_t kSimInputReportId = 9;
// A memory command carries at most this many data bytes.
constexpr std::size_t kSimMaxDataBytes = 10;

using SimInputReport = std::array<std::uint8_t, kSimReportBytes>;

// Positions inside a command report (report id at 0).
constexpr std::size_t kSimCommandByte = 1;
constexpr std::size_t kSimAddressHighByte = 3;
constexpr std::size_t kSimAddressLowByte = 4;
constexpr std::size_t kSimLengthByte = 5;
constexpr std::size_t kSimDataByte = 6;

// Command ids the mouse answers.
enum SimCommand : std::uint8_t {
    kSimCmdIdentity = 0x01,       // data: 4 random bytes and 4 zeros; reply: cid, mid
    kSimCmdDriverStatus = 0x02,   // data: 1 byte
    kSimCmdConnection = 0x03,     // reply: 1 when the mouse is reachable
    kSimCmdBattery = 0x04,        // reply: level, charging
    kSimCmdWriteMemory = 0x07,    // address, 1-10 data bytes
    kSimCmdReadMemory = 0x08,     // address, length 1-10; reply: the bytes
    kSimCmdReset = 0x09,          // restore the factory settings, then a reset event
    kSimCmdEvent = 0x0A,          // the id of unsolicited event reports
    kSimCmdActiveProfile = 0x0E,  // reply: the active profile
    kSimCmdReadiness = 0x0F,      // reply: 0 when a lighting change cannot be taken now
    kSimCmdSelectProfile = 0x10,  // data: profile index 0-3
};

// Reply status byte. Any non-zero value is a refusal; the codes tell tests why.
enum SimStatus : std::uint8_t {
    kSimOk = 0,
    kSimBadReport = 0x01,      // wrong report id or check byte of the command report
    kSimBadCommand = 0x02,     // unknown command id
    kSimBadArgument = 0x03,    // length, address, profile index or stray data bytes
    kSimBadGroupCheck = 0x04,  // a written memory group does not add up to 0x55
    kSimNotConnected = 0x05,   // the receiver cannot reach the mouse (switched off)
    kSimBadValue = 0x06,       // a written setting holds a value the mouse cannot take
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
constexpr std::size_t kSimReplyCheck = 16;
constexpr std::size_t kSimEventBits = 6;
constexpr std::size_t kSimEventDpiValue = 7;
constexpr std::size_t kSimEventRateValue = 8;
constexpr std::size_t kSimEventResetValue = 10;

// The mouse's sum rule, for whole reports and for every memory group alike: the bytes,
// the closing one included, add up to 0x55 modulo 256. SimClosingByte is the byte that
// makes `bytes` followed by it obey the rule.
std::uint8_t SimClosingByte(std::span<const std::uint8_t> bytes);
bool SimAddsUp(std::span<const std::uint8_t> bytes);

// A reply to the command report `command` (17 bytes): its address and length bytes are
// echoed, the status set, the data zero, and the device's check byte closes the report.
SimInputReport MakeSimReply(const std::uint8_t* command, std::uint8_t status);

// An event report with the given bits and values.
SimInputReport MakeSimEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                            std::uint8_t resetValue);

// Recomputes the device's check byte after the data bytes were filled in.
void SealSimReport(SimInputReport& report);

}  // namespace vantor
