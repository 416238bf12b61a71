#include "sim/sim_firmware.h"

#include <algorithm>
#include <span>

#include "sim/sim_memory_layout.h"

namespace vantor {
namespace {

namespace sl = sim_layout;

constexpr std::uint8_t kIdentityRequestLength = 8;
constexpr std::uint8_t kResetEventValue = 0;

std::size_t AddressOf(const std::uint8_t* report) {
    return static_cast<std::size_t>(report[kSimAddressHighByte]) << 8 | report[kSimAddressLowByte];
}

// A memory command moves 1-10 bytes inside the profile memory.
bool MemoryRangeOk(const std::uint8_t* report) {
    const std::size_t length = report[kSimLengthByte];
    return length >= 1 && length <= kSimMaxDataBytes &&
           AddressOf(report) + length <= kSimProfileBytes;
}

// The bytes after a command's data are zero; anything else is a malformed command.
bool NothingAfterData(const std::uint8_t* report) {
    const std::size_t length = std::min<std::size_t>(report[kSimLengthByte], kSimMaxDataBytes);
    return std::all_of(report + kSimDataByte + length, report + kSimReportBytes - 1,
                       [](std::uint8_t b) { return b == 0; });
}

bool IsReportRateCode(std::uint8_t code) {
    return code == 1 || code == 2 || code == 4 || code == 8;
}

std::array<std::uint8_t, 2> Pair(std::uint8_t value) {
    return {value, SimClosingByte(std::span<const std::uint8_t>(&value, 1))};
}

// Brightness values of the lighting keys, dimmest first.
using Brightness = std::array<std::uint8_t, 10>;
constexpr Brightness kLightBrightness = {45, 50, 75, 100, 125, 150, 175, 200, 225, 255};
constexpr Brightness kBreathingBrightness = {72, 92, 112, 132, 152, 172, 192, 212, 232, 252};
constexpr Brightness kIndicatorBrightness = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// The value after `value` in `steps`, from the brightest back to the dimmest; an unknown
// value starts again at the dimmest.
std::uint8_t NextBrightness(const Brightness& steps, std::uint8_t value) {
    const auto at = std::find(steps.begin(), steps.end(), value);
    if (at == steps.end() || at + 1 == steps.end()) return steps.front();
    return *(at + 1);
}

// Main effect codes 1, 2, 3, 5, 7 use the plain brightness values, code 0 (breathing) its
// own; code 4 is the light switched off, which a lighting key leaves alone.
const Brightness* MainBrightnessSteps(std::uint8_t effectCode) {
    switch (effectCode) {
        case 0:
            return &kBreathingBrightness;
        case 1:
        case 2:
        case 3:
        case 5:
        case 7:
            return &kLightBrightness;
        default:
            return nullptr;
    }
}

std::uint8_t LightingEventBit(SimLightingZone zone) {
    switch (zone) {
        case SimLightingZone::kMain:
            return kSimEventMainLighting;
        case SimLightingZone::kLogo:
            return kSimEventLogoLighting;
        case SimLightingZone::kDpiIndicator:
            break;
    }
    return kSimEventDpiIndicator;
}

}  // namespace

SimFirmware::SimFirmware(const SimProfileImage& factoryImage, std::uint8_t cid, std::uint8_t mid,
                         std::uint16_t sensor)
    : factory_(factoryImage),
      memories_{SimProfileMemory(factoryImage, sensor), SimProfileMemory(factoryImage, sensor),
                SimProfileMemory(factoryImage, sensor), SimProfileMemory(factoryImage, sensor)},
      cid_(cid),
      mid_(mid) {}

std::vector<SimInputReport> SimFirmware::HandleReport(const std::uint8_t* report,
                                                      std::size_t length) {
    std::vector<SimInputReport> out;
    if (report == nullptr || length < 2) return out;
    // Reads of the report bytes stay inside `length`: a short report is answered from a
    // zero-padded copy.
    std::array<std::uint8_t, kSimReportBytes> copy{};
    std::copy_n(report, std::min(length, kSimReportBytes), copy.begin());
    SimInputReport reply = MakeSimReply(copy.data(), kSimOk);
    bool resetDone = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::uint8_t status = kSimOk;
        if (length != kSimReportBytes || copy[0] != kSimCommandReportId || !SimAddsUp(copy)) {
            status = kSimBadReport;
        } else if (!NothingAfterData(copy.data())) {
            status = kSimBadArgument;
        } else {
            status = HandleCommand(copy.data(), reply, &resetDone);
        }
        reply[kSimReplyStatus] = status;
        SealSimReport(reply);
    }
    out.push_back(reply);
    if (resetDone) out.push_back(MakeSimEvent(kSimEventReset, 0, 0, kResetEventValue));
    return out;
}

std::uint8_t SimFirmware::HandleCommand(const std::uint8_t* report, SimInputReport& reply,
                                        bool* resetDone) {
    const std::uint8_t command = report[kSimCommandByte];
    const std::uint8_t dataLength = report[kSimLengthByte];
    const std::uint8_t* data = report + kSimDataByte;
    std::uint8_t* replyData = reply.data() + kSimReplyData;
    if (command == kSimCmdConnection) {
        // The receiver answers this one itself, so it works while the mouse is off.
        if (dataLength != 0) return kSimBadArgument;
        replyData[0] = mouseConnected_ ? 1 : 0;
        return kSimOk;
    }
    if (!mouseConnected_) return kSimNotConnected;
    switch (command) {
        case kSimCmdIdentity:
            if (dataLength != kIdentityRequestLength) return kSimBadArgument;
            replyData[0] = cid_;
            replyData[1] = mid_;
            return kSimOk;
        case kSimCmdDriverStatus:
            if (dataLength != 1) return kSimBadArgument;
            driverStatus_ = data[0];
            return kSimOk;
        case kSimCmdBattery:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = batteryLevel_;
            replyData[1] = charging_ ? 1 : 0;
            return kSimOk;
        case kSimCmdWriteMemory:
            return WriteMemory(report);
        case kSimCmdReadMemory:
            return ReadMemory(report, reply);
        case kSimCmdReset:
            if (dataLength != 0) return kSimBadArgument;
            Active().Assign(factory_);
            *resetDone = true;
            return kSimOk;
        case kSimCmdActiveProfile:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = activeProfile_;
            return kSimOk;
        case kSimCmdReadiness:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = ready_ ? 1 : 0;
            return kSimOk;
        case kSimCmdSelectProfile:
            if (dataLength != 1 || data[0] >= kSimProfileCount) return kSimBadArgument;
            if (data[0] != activeProfile_) {
                // Bytes of an unfinished group do not survive a profile change.
                Active().Assign(Active().Bytes());
                activeProfile_ = data[0];
            }
            return kSimOk;
        default:
            return kSimBadCommand;
    }
}

std::uint8_t SimFirmware::ReadMemory(const std::uint8_t* report, SimInputReport& reply) {
    if (!MemoryRangeOk(report)) return kSimBadArgument;
    const auto& bytes = Active().Bytes();
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(AddressOf(report)),
                report[kSimLengthByte], reply.begin() + kSimReplyData);
    return kSimOk;
}

std::uint8_t SimFirmware::WriteMemory(const std::uint8_t* report) {
    if (!MemoryRangeOk(report)) return kSimBadArgument;
    return Active().Write(AddressOf(report), std::span<const std::uint8_t>(report + kSimDataByte,
                                                                           report[kSimLengthByte]));
}

void SimFirmware::SetEventSink(EventSink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = std::move(sink);
}

void SimFirmware::Emit(const SimInputReport& report) {
    EventSink sink;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sink = sink_;
    }
    if (sink) sink(report);
}

void SimFirmware::PressDpiButton() {
    std::uint8_t level = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto& m = Active().Bytes();
        const int count = std::clamp<int>(m[sl::kLevelCount], 1, sl::kLevelSlots);
        level = static_cast<std::uint8_t>((m[sl::kActiveLevel] + 1) % count);
        if (m[sl::kActiveLevel] >= count) level = 0;
        Active().Write(sl::kActiveLevel, Pair(level));
    }
    Emit(MakeSimEvent(kSimEventDpiLevel, level, 0, 0));
}

bool SimFirmware::SwitchReportRate(std::uint8_t code) {
    if (!IsReportRateCode(code)) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Active().Write(sl::kReportRate, Pair(code));
    }
    Emit(MakeSimEvent(kSimEventReportRate, 0, code, 0));
    return true;
}

void SimFirmware::PressLightingKey(SimLightingZone zone) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto& m = Active().Bytes();
        switch (zone) {
            case SimLightingZone::kMain:
                if (const Brightness* steps = MainBrightnessSteps(m[sl::kMain])) {
                    std::array<std::uint8_t, sl::kMainBytes> group{};
                    std::copy_n(m.begin() + sl::kMain, group.size(), group.begin());
                    group[sl::kMainBrightness - sl::kMain] =
                        NextBrightness(*steps, m[sl::kMainBrightness]);
                    group.back() = SimClosingByte(std::span(group).first(group.size() - 1));
                    Active().Write(sl::kMain, group);
                }
                break;
            case SimLightingZone::kLogo:
                // Effects 1-3 are lit; 0 is off.
                if (m[sl::kLogoEffect] >= 1 && m[sl::kLogoEffect] <= 3) {
                    Active().Write(sl::kLogoBrightness,
                                   Pair(NextBrightness(kLightBrightness, m[sl::kLogoBrightness])));
                }
                break;
            case SimLightingZone::kDpiIndicator:
                if (m[sl::kIndicator] != 0) {
                    Active().Write(
                        sl::kIndicatorBrightness,
                        Pair(NextBrightness(kIndicatorBrightness, m[sl::kIndicatorBrightness])));
                }
                break;
        }
    }
    Emit(MakeSimEvent(LightingEventBit(zone), 0, 0, 0));
}

bool SimFirmware::SelectProfileOnMouse(std::uint8_t index) {
    if (index >= kSimProfileCount) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (index != activeProfile_) {
            Active().Assign(Active().Bytes());
            activeProfile_ = index;
        }
    }
    Emit(MakeSimEvent(kSimEventReset, 0, 0, kResetEventValue));
    return true;
}

void SimFirmware::ResetOnMouse() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Active().Assign(factory_);
    }
    Emit(MakeSimEvent(kSimEventReset, 0, 0, kResetEventValue));
}

void SimFirmware::SendEvent(std::uint8_t bits, std::uint8_t dpiLevel, std::uint8_t rateCode,
                            std::uint8_t resetValue) {
    Emit(MakeSimEvent(bits, dpiLevel, rateCode, resetValue));
}

void SimFirmware::SetMouseConnected(bool connected) {
    std::lock_guard<std::mutex> lock(mutex_);
    mouseConnected_ = connected;
}

void SimFirmware::SetBattery(std::uint8_t level, bool charging) {
    std::lock_guard<std::mutex> lock(mutex_);
    batteryLevel_ = level;
    charging_ = charging;
}

void SimFirmware::SetReady(bool ready) {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_ = ready;
}

void SimFirmware::SetIdentity(std::uint8_t cid, std::uint8_t mid) {
    std::lock_guard<std::mutex> lock(mutex_);
    cid_ = cid;
    mid_ = mid;
}

std::uint8_t SimFirmware::ActiveProfile() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return activeProfile_;
}

SimProfileImage SimFirmware::Memory(int profile) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = profile >= 0 && profile < kSimProfileCount ? profile : 0;
    return memories_[static_cast<std::size_t>(index)].Bytes();
}

std::uint8_t SimFirmware::LastDriverStatus() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return driverStatus_;
}

SimFirmwareState SimFirmware::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    SimFirmwareState state;
    for (std::size_t p = 0; p < memories_.size(); ++p) state.profiles[p] = memories_[p].Bytes();
    state.activeProfile = activeProfile_;
    state.cid = cid_;
    state.mid = mid_;
    state.mouseConnected = mouseConnected_;
    state.batteryLevel = batteryLevel_;
    state.charging = charging_;
    state.ready = ready_;
    return state;
}

void SimFirmware::Restore(const SimFirmwareState& state) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t p = 0; p < memories_.size(); ++p) memories_[p].Assign(state.profiles[p]);
    activeProfile_ = state.activeProfile < kSimProfileCount ? state.activeProfile : 0;
    cid_ = state.cid;
    mid_ = state.mid;
    mouseConnected_ = state.mouseConnected;
    batteryLevel_ = state.batteryLevel;
    charging_ = state.charging;
    ready_ = state.ready;
}

}  // namespace vantor
