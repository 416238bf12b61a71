// Framing of the HID command channel: the 17-byte command report (feature report id 8)
// and the 16-byte reply payload that follows report id 9 in every input report.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantor {

constexpr std::size_t kReportLength = 17;
constexpr std::size_t kPayloadLength = 15;       // command payload, bytes 1-15 of the report
constexpr std::size_t kReplyPayloadLength = 16;  // bytes 1-16 of an input report
constexpr std::size_t kMaxDataBytes = 10;        // data bytes of one memory command
constexpr std::uint8_t kCommandReportId = 8;
constexpr std::uint8_t kReplyReportId = 9;
constexpr std::uint8_t kReportSum = 0x55;  // every command report adds up to this

enum DeviceCommand : std::uint8_t {
    kCmdCheckPsd = 0x01,
    kCmdTellDrvStatus = 0x02,
    kCmdGetConnectStatus = 0x03,
    kCmdGetPower = 0x04,
    kCmdWriteEEPROM = 0x07,
    kCmdReadEEPROM = 0x08,
    kCmdResetDevice = 0x09,
    kCmdDeviceEvent = 0x0A,  // unsolicited, never sent by the PC
    kCmdGetCurProfile = 0x0E,
    kCmdQueryApplyBusy = 0x0F,
    kCmdSetCurProfile = 0x10,
};

// Positions inside the command payload.
constexpr std::size_t kPayloadCommand = 0;
constexpr std::size_t kPayloadAddressHigh = 2;
constexpr std::size_t kPayloadAddressLow = 3;
constexpr std::size_t kPayloadLengthByte = 4;
constexpr std::size_t kPayloadData = 5;

using CommandPayload = std::array<std::uint8_t, kPayloadLength>;
using CommandReport = std::array<std::uint8_t, kReportLength>;

// The byte that makes `bytes[0..15]` plus itself add up to 0x55 modulo 256.
std::uint8_t ReportCheckByte(const std::uint8_t* bytes16);

// Report id, payload and check byte.
CommandReport BuildCommandReport(const CommandPayload& payload);

// Payload of a command without data.
CommandPayload MakePayload(std::uint8_t command);

// Payload of a command with an address and up to 10 data bytes; `data` may be null for
// a read, which only carries the length. Lengths above 10 are cut to 10.
CommandPayload MakeMemoryPayload(std::uint8_t command, std::uint16_t address,
                                 const std::uint8_t* data, std::size_t length);

// Whether `received` bytes read from the notification interface are a reply or event
// report (id 9, 17 bytes) rather than a report of another collection on the same node.
inline bool IsReplyReport(const std::uint8_t* report, std::size_t received) {
    return received == kReportLength && report[0] == kReplyReportId;
}

// One reply or event payload as the device sent it.
struct ReplyPayload {
    std::array<std::uint8_t, kReplyPayloadLength> bytes{};

    std::uint8_t CommandId() const { return bytes[0]; }
    std::uint8_t Status() const { return bytes[1]; }
    // Reply data bytes 0-9 start at reply byte 5.
    const std::uint8_t* Data() const { return bytes.data() + kPayloadData; }
    std::uint8_t DataByte(std::size_t index) const {
        return index < kMaxDataBytes ? bytes[kPayloadData + index] : 0;
    }
};

}  // namespace vantor
