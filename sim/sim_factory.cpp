#include "sim/sim_factory.h"

#include <algorithm>
#include <span>

#include "profile/check_byte.h"
#include "profile/lighting_codec.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

namespace mm = memory_map;

std::uint8_t Byte(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * index));
}

void Put(SimProfileImage& m, std::size_t address, std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), m.begin() + static_cast<std::ptrdiff_t>(address));
}

void PutPair(SimProfileImage& m, std::size_t address, int value) {
    Put(m, address, SettingPair(static_cast<std::uint8_t>(value)));
}

void PutSealed(SimProfileImage& m, std::size_t address, std::array<std::uint8_t, 4> group) {
    SealGroup(group);
    Put(m, address, group);
}

std::uint8_t ReportRateCode(std::uint32_t rate) {
    switch (rate) {
        case 0x1000:
            return 1;
        case 0x250:
            return 4;
        case 0x125:
            return 8;
        default:
            return 2;
    }
}

// The key matrix code of the assignments a new record holds: mouse buttons and device
// functions. Keyboard classes get the combination marker; anything else is refused
// (FF FF FF) as the mouse stores it.
std::uint32_t KeyCode(const KeyAssignment& key) {
    switch (static_cast<std::uint32_t>(key.dwFunID)) {
        case 0x01000011:
            return 0x000101;
        case 0x01000012:
            return 0x000401;
        case 0x01000013:
            return 0x000201;
        case 0x01000014:
            return 0x001001;
        case 0x01000015:
            return 0x000801;
        case 0x080000A2:
            return 0x000000;
        case 0x080000A4:
            return static_cast<std::uint32_t>(Byte(key.dwParameter, 0)) << 16 |
                   static_cast<std::uint32_t>(Byte(key.dwParameter, 1)) << 8 | 0x04;
        case 0x080000A7:
            return 0x000008;
        case 0x080000A8:
            return 0x000202;
        case 0x080000A9:
            return 0x000302;
        case 0x080000AA:
            return 0x000102;
        case 0x080000AC:
            return 0x000007;
        case 0x080000B0:
            return 0x000009;
        default:
            break;
    }
    const std::uint32_t cls = key.FunctionClass();
    if (cls >= 2 && cls <= 4) return 0x000005;
    return 0xFFFFFF;
}

std::array<std::uint8_t, 4> DpiEntry(std::uint32_t sensor, const DpiLevel& level) {
    std::uint8_t xFlags = 0;
    std::uint8_t yFlags = 0;
    const std::uint16_t x = CodeFromDpi(sensor, static_cast<int>(level.dwDpi), &xFlags);
    const std::uint16_t y = CodeFromDpi(sensor, static_cast<int>(level.dwDpiY), &yFlags);
    std::uint32_t packed = 0;
    if (sensor == 0x3395) {
        packed = ((((y >> 8) & 0x0Fu) << 2 | (yFlags != 0 ? 1u : 0u)) << 4) |
                 (((x >> 8) & 0x0Fu) << 2) | (xFlags != 0 ? 1u : 0u);
    } else {
        packed = (xFlags & 0x0Fu) | static_cast<std::uint32_t>(yFlags) << 4;
    }
    return {Byte(x, 0), Byte(y, 0), Byte(packed, 0), 0};
}

}  // namespace

ProfileDefaults ProfileDefaultsOf(const DeviceSection& section, const AppOptions& options) {
    ProfileDefaults d;
    d.keyLayers = section.keys;
    d.reportRate = static_cast<std::uint32_t>(section.DR);
    d.dpiLevelCount = section.DM;
    d.dpiUiLevels = section.DpiUILevels;
    for (int i = 0; i < kDpiLevels; ++i) {
        const auto n = static_cast<std::size_t>(i);
        d.dpi[n] = section.DPI[n];
        for (int c = 0; c < 3; ++c)
            d.dpiColors[3 * n + static_cast<std::size_t>(c)] = Byte(section.DC[n], c);
    }
    d.sensor = static_cast<std::uint32_t>(section.Sensor);
    d.showLod = section.ShowLOD;
    d.sleepTime = section.SleepTime;
    d.sleepTimeCheck = section.SleepTimeCheck;
    d.deviceDebounce = section.Debounce;
    d.generalDebounce = options.Debounce;
    d.enhancePrecision = options.EnhancePrecision;
    d.dpiLedMode = static_cast<std::uint32_t>(section.DpiLEDMode);
    d.ledParam = options.LEDParam;
    return d;
}

SimProfileImage SimImageOfRecord(const ProfileFile& r, int dpiLevel) {
    SimProfileImage m{};
    PutPair(m, mm::kReportRate, ReportRateCode(r.dwReportRate));
    const int levels = std::clamp<int>(r.nDpiLevels, 1, kDpiLevels);
    PutPair(m, mm::kDpiLevelCount, levels);
    PutPair(m, mm::kCurrentDpiLevel, std::clamp(dpiLevel, 0, levels - 1));
    PutPair(m, mm::kLiftOffDistance, r.nLOD);
    for (int i = 0; i < kDpiLevels; ++i) {
        if (r.Dpi[i].bUnused != 0) continue;
        PutSealed(m, mm::DpiEntryAddress(i), DpiEntry(r.dwSensor, r.Dpi[i]));
        const std::uint32_t c = r.Dpi[i].dwColor;
        PutSealed(m, mm::DpiColorAddress(i), {Byte(c, 0), Byte(c, 1), Byte(c, 2), 0});
    }
    const LightingWrite dpiEffect = EncodeDpiEffect(r.stDpiEffect);
    Put(m, dpiEffect.address, dpiEffect.Data());
    const LightingWrite logo = EncodeLogoRGB(r.stLogoRGB);
    Put(m, logo.address, logo.Data());
    const LightingWrite main =
        EncodeMainRGB(r.stMainRGB, std::span<const std::uint8_t, 7>(&m[mm::kMainLighting], 7));
    Put(m, main.address, main.Data());

    const int keySet = std::clamp<int>(r.nKeySet, 0, kKeySets - 1);
    for (int e = 0; e < mm::kKeySlots; ++e) PutSealed(m, mm::KeyMatrixAddress(e), {0, 0, 0, 0});
    for (const KeyAssignment& key : r.Key[keySet]) {
        const std::uint32_t index = key.nMatrixIndex;
        if (index < 1 || index > static_cast<std::uint32_t>(mm::kKeySlots)) continue;
        const std::uint32_t code = KeyCode(key);
        PutSealed(m, mm::KeyMatrixAddress(static_cast<int>(index - 1)),
                  {Byte(code, 0), Byte(code, 1), Byte(code, 2), 0});
    }

    PutPair(m, mm::kDebounce, r.nDebounce);
    PutPair(m, mm::kMotionSync, r.bMotionSync);
    PutPair(m, mm::kSleepTime, r.nSleepTime / 10);
    PutPair(m, mm::kFixLine, r.nFixLine);
    PutPair(m, mm::kRipple, r.nRipple);
    PutPair(m, mm::kLightOffOnMoving, r.bLightOffOnMoving);
    PutPair(m, mm::kAutoSleep, r.nAutoSleep);
    PutPair(m, mm::kSensorMode, r.nSensorMode);
    return m;
}

SimProfileImage SimFactoryImage(const DeviceSection& section, const AppOptions& options) {
    const ProfileFile record =
        NewProfileRecord(ProfileDefaultsOf(section, options), "", /*profileId=*/1);
    return SimImageOfRecord(record, section.DEFLEVEL);
}

std::shared_ptr<SimFirmware> MakeSimFirmware(int sectionIndex) {
    const DeviceSection& section = DeviceSectionAt(sectionIndex);
    return std::make_shared<SimFirmware>(SimFactoryImage(section, Options()),
                                         static_cast<std::uint8_t>(section.CID),
                                         static_cast<std::uint8_t>(section.MID));
}

}  // namespace vantor
