#include "sim/sim_state.h"

#include <algorithm>
#include <cstring>

#include "base/file_io.h"
#include "base/log.h"

namespace vantor {
namespace {

constexpr char kMagic[4] = {'V', 'S', 'I', 'M'};

enum HeaderByte : std::size_t {
    kActiveProfile = 8,
    kCid,
    kMid,
    kConnected,
    kBattery,
    kCharging,
    kReady,
    kReserved,
};

std::optional<bool> Flag(std::uint8_t value) {
    if (value > 1) return std::nullopt;
    return value == 1;
}

}  // namespace

std::vector<std::uint8_t> SerializeSimState(const SimFirmwareState& state) {
    std::vector<std::uint8_t> bytes(kSimStateBytes, 0);
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[4 + i] = static_cast<std::uint8_t>(kSimStateVersion >> (8 * i));
    }
    bytes[kActiveProfile] = state.activeProfile;
    bytes[kCid] = state.cid;
    bytes[kMid] = state.mid;
    bytes[kConnected] = state.mouseConnected ? 1 : 0;
    bytes[kBattery] = state.batteryLevel;
    bytes[kCharging] = state.charging ? 1 : 0;
    bytes[kReady] = state.ready ? 1 : 0;
    auto out = bytes.begin() + kSimStateHeaderBytes;
    for (const SimProfileImage& image : state.profiles) {
        out = std::copy(image.begin(), image.end(), out);
    }
    return bytes;
}

std::optional<SimFirmwareState> ParseSimState(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kSimStateBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return std::nullopt;
    }
    std::uint32_t version = 0;
    for (std::size_t i = 4; i-- > 0;) version = version << 8 | bytes[4 + i];
    if (version != kSimStateVersion) return std::nullopt;

    const auto connected = Flag(bytes[kConnected]);
    const auto charging = Flag(bytes[kCharging]);
    const auto ready = Flag(bytes[kReady]);
    if (bytes[kActiveProfile] >= kSimProfileCount || !connected || !charging || !ready ||
        bytes[kReserved] != 0) {
        return std::nullopt;
    }
    SimFirmwareState state;
    state.activeProfile = bytes[kActiveProfile];
    state.cid = bytes[kCid];
    state.mid = bytes[kMid];
    state.mouseConnected = *connected;
    state.batteryLevel = bytes[kBattery];
    state.charging = *charging;
    state.ready = *ready;
    auto in = bytes.begin() + kSimStateHeaderBytes;
    for (SimProfileImage& image : state.profiles) {
        std::copy_n(in, kSimProfileBytes, image.begin());
        in += kSimProfileBytes;
    }
    return state;
}

bool SaveSimState(const std::string& path, const SimFirmwareState& state, int* error) {
    const std::vector<std::uint8_t> bytes = SerializeSimState(state);
    return WriteFileAtomic(path, bytes.data(), bytes.size(), error);
}

std::optional<SimFirmwareState> LoadSimState(const std::string& path, int* error) {
    // One byte more than a valid file, so that a longer file is seen and refused.
    const auto bytes = ReadWholeFile(path, kSimStateBytes + 1, error);
    if (!bytes) return std::nullopt;
    auto state = ParseSimState(*bytes);
    if (!state) DbgLog("LoadSimState: refused %s", path.c_str());
    return state;
}

}  // namespace vantor
