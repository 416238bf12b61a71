#include "profile/new_profile.h"
#include "profile/setting_ranges.h"

#include <algorithm>

#include "base/clock_id.h"
#include "profile/setting_ranges.h"

namespace vantor {
namespace {

constexpr std::uint32_t kMaxLogoMode = LimitsOf(LightZone::kLogo).maxEffect;
constexpr auto kMaxLogoSpeed = static_cast<std::uint32_t>(LimitsOf(LightZone::kLogo).speed.maximum);

std::uint32_t ColorFromBytes(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red | static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue) << 16;
}

std::uint8_t ByteOf(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * index));
}

}  // namespace

ProfileFile NewProfileRecord(const ProfileDefaults& d, std::string_view name,
                             std::uint32_t profileId) {
    ProfileFile r{};  // value-initialised: every byte zero, reserved ranges included
    r.dwMagic = kProfileMagic;
    r.dwProfileID = profileId;
    SetProfileName(r, name);
    for (int s = 0; s < kKeySets; ++s) {
        for (int b = 0; b < kKeysPerSet; ++b) {
            r.Key[s][b] = d.keyLayers[static_cast<std::size_t>(s)][static_cast<std::size_t>(b)];
        }
    }

    r.dwReportRate = d.reportRate;
    r.stSys.nWheelLines = 3;
    r.stSys.nDoubleClickTime = 550;
    r.stSys.nMouseSpeed = 10;
    r.stSys.bEnhancePrecision = d.enhancePrecision;
    r.stSys.nMouseTrails = 0;

    const int defaultLevels = std::clamp(d.dpiLevelCount, 0, kDpiLevels);
    for (int i = 0; i < kDpiLevels; ++i) {
        DpiLevel& level = r.Dpi[i];
        const auto n = static_cast<std::size_t>(i);
        if (i < defaultLevels) {
            level.dwDpi = static_cast<std::uint32_t>(d.dpi[n]);
            level.dwDpiY = static_cast<std::uint32_t>(d.dpi[n]);
            level.dwColor =
                ColorFromBytes(d.dpiColors[3 * n], d.dpiColors[3 * n + 1], d.dpiColors[3 * n + 2]);
            level.bUnused = 0;
        } else {
            level.bUnused = 1;
        }
    }

    r.dwSensor = d.sensor;
    r.nDpiLevels = std::clamp(d.dpiUiLevels != 0 ? d.dpiUiLevels : d.dpiLevelCount, 1, kDpiLevels);
    r.nLOD = d.showLod;
    r.nRipple = 0;
    r.nFixLine = 0;
    r.nSleepTime = d.sleepTime;
    r.nDebounce = d.deviceDebounce != 0 ? d.deviceDebounce : d.generalDebounce;
    r.bLightOffOnMoving = d.sleepTimeCheck;
    r.bMotionSync = 1;
    r.nSensorMode = 1;
    r.nAutoSleep = 6;

    r.stDpiEffect.nMode = ByteOf(d.dpiLedMode, 0);
    r.stDpiEffect.nSpeed = ByteOf(d.dpiLedMode, 2);
    r.stDpiEffect.nLight = ByteOf(d.dpiLedMode, 1);

    r.stMainRGB.nMode = d.ledParam[0];
    r.stMainRGB.nLight = d.ledParam[1];
    r.stMainRGB.nSpeed = d.ledParam[2];
    r.stMainRGB.dwColor = ColorFromBytes(d.ledParam[3], d.ledParam[4], d.ledParam[5]);

    r.stLogoRGB = r.stMainRGB;
    if (r.stLogoRGB.nMode > kMaxLogoMode) r.stLogoRGB.nMode = 1;
    if (r.stLogoRGB.nSpeed > kMaxLogoSpeed) r.stLogoRGB.nSpeed = kMaxLogoSpeed;
    return r;
}

ProfileFile NewProfileRecord(const ProfileDefaults& defaults, std::string_view name) {
    return NewProfileRecord(defaults, name, NewClockId());
}

}  // namespace vantor
