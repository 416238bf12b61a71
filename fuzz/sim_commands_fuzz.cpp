// The simulated mouse takes command reports from the PC side, which tests drive with
// faulty encoders on purpose: any sequence of reports and mouse actions must be answered
// with well-formed replies and never read or write outside the profile memories. The
// state it ends in must survive the state file.
//
// Input: records of 16 bytes. Byte 0 steers: bit 0 spoils the check byte, bit 1 the report
// id, bits 2-3 pick a mouse action after the command (none, DPI button, lighting key of
// zone bits 4-5, report-rate switch to code bits 4-7); bytes 1-15 are the command payload.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sim/sim_firmware.h"
#include "sim/sim_state.h"

namespace {

using namespace vantor;

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckReply(const SimInputReport& r) {
    unsigned sum = 0;
    for (std::uint8_t b : r) sum += b;
    Check(r[0] == kSimInputReportId && (sum & 0xFF) == 0x55);
}

SimProfileImage StartImage() {
    SimProfileImage image{};
    image[0x0002] = 4;
    image[0x0003] = 0x55 - 4;
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SimFirmware firmware(StartImage(), 1, 1);
    int events = 0;
    firmware.SetEventSink([&events](const SimInputReport& r) {
        CheckReply(r);
        ++events;
    });
    constexpr std::size_t kRecord = 16;
    for (std::size_t at = 0; at + kRecord <= size; at += kRecord) {
        const std::uint8_t steer = data[at];
        std::array<std::uint8_t, kSimReportBytes> report{};
        report[0] = (steer & 0x02) != 0 ? data[at + 1] : kSimCommandReportId;
        for (std::size_t i = 1; i < kRecord; ++i) report[i] = data[at + i];
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < kSimReportBytes; ++i) sum += report[i];
        report[kSimReportBytes - 1] = static_cast<std::uint8_t>(0x55 - sum + (steer & 0x01));

        const auto out = firmware.HandleReport(report.data(), report.size());
        Check(!out.empty() && out.size() <= 2);
        for (const SimInputReport& r : out) CheckReply(r);
        Check(out[0][kSimReplyCommand] == report[1]);
        if ((steer & 0x01) != 0 || report[0] != kSimCommandReportId) {
            Check(out[0][kSimReplyStatus] == kSimBadReport);
        }
        switch ((steer >> 2) & 0x03) {
            case 1:
                firmware.PressDpiButton();
                break;
            case 2:
                firmware.PressLightingKey(static_cast<SimLightingZone>(((steer >> 4) & 0x03) % 3));
                break;
            case 3:
                firmware.SwitchReportRate(static_cast<std::uint8_t>(steer >> 4));
                break;
            default:
                break;
        }
        Check(firmware.ActiveProfile() < kSimProfileCount);
    }
    Check(events >= 0);

    const SimFirmwareState state = firmware.State();
    const auto bytes = SerializeSimState(state);
    const auto back = ParseSimState(bytes);
    Check(back.has_value() && back->profiles == state.profiles &&
          back->activeProfile == state.activeProfile);
    (void)ParseSimState(std::span<const std::uint8_t>(data, size));
    return 0;
}
