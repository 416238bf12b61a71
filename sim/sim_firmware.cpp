#include "sim/sim_firmware.h"

#include <algorithm>
#include <span>

#include "profile/check_byte.h"
#include "profile/lighting_codec.h"
#include "profile/memory_map.h"

namespace vantor {
namespace {

namespace mm = memory_map;

constexpr std::uint8_t kReportSumValue = 0x55;
constexpr std::uint8_t kPsdRequestLength = 8;
constexpr int kMaxDpiLevelCount = 8;
constexpr std::uint8_t kResetEventValue = 0;

bool ReportAddsUp(const std::uint8_t* report) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kReportLength; ++i) sum += report[i];
    return static_cast<std::uint8_t>(sum) == kReportSumValue;
}

std::size_t AddressOf(const std::uint8_t* payload) {
    return static_cast<std::size_t>(payload[kPayloadAddressHigh]) << 8 |
           payload[kPayloadAddressLow];
}

// A memory command moves 1-10 bytes inside the profile memory.
bool MemoryRangeOk(const std::uint8_t* payload) {
    const std::size_t length = payload[kPayloadLengthByte];
    return length >= 1 && length <= kMaxDataBytes &&
           AddressOf(payload) + length <= kSimProfileBytes;
}

bool IsReportRateCode(std::uint8_t code) {
    return code == 1 || code == 2 || code == 4 || code == 8;
}

std::uint8_t NextStep(std::uint32_t step) {
    return static_cast<std::uint8_t>(step >= 1 && step < 10 ? step + 1 : 1);
}

// The lighting group of `zone` after one press of its key: the next brightness step.
LightingWrite NextBrightness(const SimProfileImage& m, SimLightingZone zone) {
    switch (zone) {
        case SimLightingZone::kMain: {
            RgbEffect effect{};
            EEPROM_To_MainRGB(std::span<const std::uint8_t, 8>(&m[mm::kMainLighting], 8), effect);
            effect.nLight = NextStep(effect.nLight);
            return EncodeMainRGB(effect,
                                 std::span<const std::uint8_t, 7>(&m[mm::kMainLighting], 7));
        }
        case SimLightingZone::kLogo: {
            RgbEffect effect{};
            EEPROM_To_LogoRGB(std::span<const std::uint8_t, 10>(&m[mm::kLogoLighting], 10), effect);
            effect.nLight = NextStep(effect.nLight);
            return EncodeLogoRGB(effect);
        }
        case SimLightingZone::kDpiIndicator:
            break;
    }
    DpiEffect effect{};
    DecodeDpiEffect(std::span<const std::uint8_t, 6>(&m[mm::kDpiEffect], 6), effect);
    effect.nLight = NextStep(effect.nLight);
    return EncodeDpiEffect(effect);
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

SimFirmware::SimFirmware(const SimProfileImage& factoryImage, std::uint8_t cid, std::uint8_t mid)
    : factory_(factoryImage),
      memories_{SimProfileMemory(factoryImage), SimProfileMemory(factoryImage),
                SimProfileMemory(factoryImage), SimProfileMemory(factoryImage)},
      cid_(cid),
      mid_(mid) {}

std::vector<SimInputReport> SimFirmware::HandleReport(const std::uint8_t* report,
                                                      std::size_t length) {
    std::vector<SimInputReport> out;
    if (report == nullptr || length < 2) return out;
    // Reads of the report bytes stay inside `length`: a short report is answered from a
    // zero-padded copy.
    std::array<std::uint8_t, kReportLength> copy{};
    std::copy_n(report, std::min(length, kReportLength), copy.begin());
    const std::uint8_t* payload = copy.data() + 1;
    SimInputReport reply = MakeSimReply(copy.data(), kSimOk);
    bool resetDone = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::uint8_t status = kSimOk;
        if (length != kReportLength || copy[0] != kCommandReportId || !ReportAddsUp(copy.data())) {
            status = kSimBadReport;
        } else {
            status = HandleCommand(payload[kPayloadCommand], payload, reply, &resetDone);
        }
        reply[kSimReplyStatus] = status;
        SealSimReport(reply);
    }
    out.push_back(reply);
    if (resetDone) out.push_back(MakeSimEvent(kSimEventReset, 0, 0, kResetEventValue));
    return out;
}

std::uint8_t SimFirmware::HandleCommand(std::uint8_t command, const std::uint8_t* payload,
                                        SimInputReport& reply, bool* resetDone) {
    const std::uint8_t dataLength = payload[kPayloadLengthByte];
    const std::uint8_t* data = payload + kPayloadData;
    std::uint8_t* replyData = reply.data() + kSimReplyData;
    if (command == kCmdGetConnectStatus) {
        // The receiver answers this one itself, so it works while the mouse is off.
        if (dataLength != 0) return kSimBadArgument;
        replyData[0] = mouseConnected_ ? 1 : 0;
        return kSimOk;
    }
    if (!mouseConnected_) return kSimNotConnected;
    switch (command) {
        case kCmdCheckPsd:
            if (dataLength != kPsdRequestLength) return kSimBadArgument;
            replyData[0] = cid_;
            replyData[1] = mid_;
            return kSimOk;
        case kCmdTellDrvStatus:
            if (dataLength != 1) return kSimBadArgument;
            driverStatus_ = data[0];
            return kSimOk;
        case kCmdGetPower:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = batteryLevel_;
            replyData[1] = charging_ ? 1 : 0;
            return kSimOk;
        case kCmdWriteEEPROM:
            return WriteMemory(payload);
        case kCmdReadEEPROM:
            return ReadMemory(payload, reply);
        case kCmdResetDevice:
            if (dataLength != 0) return kSimBadArgument;
            Active().Assign(factory_);
            *resetDone = true;
            return kSimOk;
        case kCmdGetCurProfile:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = activeProfile_;
            return kSimOk;
        case kCmdQueryApplyBusy:
            if (dataLength != 0) return kSimBadArgument;
            replyData[0] = ready_ ? 1 : 0;
            return kSimOk;
        case kCmdSetCurProfile:
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

std::uint8_t SimFirmware::ReadMemory(const std::uint8_t* payload, SimInputReport& reply) {
    if (!MemoryRangeOk(payload)) return kSimBadArgument;
    const auto& bytes = Active().Bytes();
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(AddressOf(payload)),
                payload[kPayloadLengthByte], reply.begin() + kSimReplyData);
    return kSimOk;
}

std::uint8_t SimFirmware::WriteMemory(const std::uint8_t* payload) {
    if (!MemoryRangeOk(payload)) return kSimBadArgument;
    return Active().Write(
        AddressOf(payload),
        std::span<const std::uint8_t>(payload + kPayloadData, payload[kPayloadLengthByte]));
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
        const int count = std::clamp<int>(m[mm::kDpiLevelCount], 1, kMaxDpiLevelCount);
        level = static_cast<std::uint8_t>((m[mm::kCurrentDpiLevel] + 1) % count);
        if (m[mm::kCurrentDpiLevel] >= count) level = 0;
        Active().Write(mm::kCurrentDpiLevel, SettingPair(level));
    }
    Emit(MakeSimEvent(kSimEventDpiLevel, level, 0, 0));
}

bool SimFirmware::SwitchReportRate(std::uint8_t code) {
    if (!IsReportRateCode(code)) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Active().Write(mm::kReportRate, SettingPair(code));
    }
    Emit(MakeSimEvent(kSimEventReportRate, 0, code, 0));
    return true;
}

void SimFirmware::PressLightingKey(SimLightingZone zone) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const LightingWrite write = NextBrightness(Active().Bytes(), zone);
        Active().Write(write.address, write.Data());
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
