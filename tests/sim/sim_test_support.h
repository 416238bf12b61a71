// Helpers for the simulated-mouse tests: command reports built by the PC-side framing,
// and a small firmware image with known groups.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "device/report.h"
#include "sim/sim_firmware.h"

namespace vantor::test {

inline CommandReport CommandFor(std::uint8_t command, std::uint16_t address,
                                std::initializer_list<std::uint8_t> data, int length = -1) {
    std::vector<std::uint8_t> bytes(data);
    CommandPayload payload =
        MakeMemoryPayload(command, address, bytes.empty() ? nullptr : bytes.data(), bytes.size());
    if (length >= 0) payload[kPayloadLengthByte] = static_cast<std::uint8_t>(length);
    return BuildCommandReport(payload);
}

inline CommandReport SimpleCommand(std::uint8_t command) {
    return BuildCommandReport(MakePayload(command));
}

// A group of `bytes` followed by its check byte (the group adds up to 0x55); `broken`
// spoils the check byte.
inline std::vector<std::uint8_t> Sealed(std::vector<std::uint8_t> bytes, bool broken = false) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    const auto check = static_cast<std::uint8_t>(0x55 - sum);
    bytes.push_back(static_cast<std::uint8_t>(broken ? check + 1 : check));
    return bytes;
}

// An image with three DPI levels, level 1 active and report-rate code 2.
inline SimProfileImage SmallFactoryImage() {
    SimProfileImage image{};
    const auto pair = [&](std::size_t a, std::uint8_t v) {
        image[a] = v;
        image[a + 1] = static_cast<std::uint8_t>(0x55 - v);
    };
    pair(0x0000, 2);
    pair(0x0002, 3);
    pair(0x0004, 1);
    pair(0x00A9, 12);
    return image;
}

}  // namespace vantor::test
