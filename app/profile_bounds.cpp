#include "app/profile_bounds.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/log.h"
#include "base/string_format.h"
#include "keys/key_functions.h"
#include "profile/combo_slot.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr std::uint32_t kMaxColor = 0xFFFFFF;
constexpr std::uint32_t kReportRates[] = {0x125, 0x250, 0x500, 0x1000};
constexpr std::uint16_t kNoConsumerUsage = 0xFFFF;

// Pointer settings the desktop accepts.
constexpr int kMaxWheelLines = 100;
constexpr int kMinDoubleClickMs = 100;
constexpr int kMaxDoubleClickMs = 5000;
constexpr int kMinPointerSpeed = 1;
constexpr int kMaxPointerSpeed = 20;
constexpr int kMaxPointerTrails = 16;

bool In(long long value, long long low, long long high) {
    return value >= low && value <= high;
}

bool IsFlag(std::int32_t value) {
    return value == 0 || value == 1;
}

std::string RangeText(long long low, long long high) {
    return std::to_string(low) + "-" + std::to_string(high);
}

// Walks the rules over one record. Each broken rule adds its line; with `defaults` the
// field is also replaced by the default's.
class Review {
  public:
    Review(ProfileFile& record, const ProfileFile* defaults, const DeviceSection& section,
           const AppOptions& options)
        : r_(record), d_(defaults), section_(section), options_(options) {}

    std::vector<std::string> Run() {
        Identity();
        Keys();
        Pointer();
        Dpi();
        SingleSettings();
        Lighting();
        return std::move(problems_);
    }

  private:
    // Records the problem unless `ok`; with defaults, `restore` puts the default back.
    template <typename Restore>
    void Rule(bool ok, const std::string& problem, Restore restore) {
        if (ok) return;
        problems_.push_back(problem);
        if (d_ != nullptr) restore(*d_);
    }

    std::uint32_t Sensor() const { return static_cast<std::uint32_t>(section_.Sensor); }
    int SectionLevels() const { return std::clamp(section_.DM, 1, kDpiLevels); }

    void Identity() {
        Rule(r_.dwSensor == Sensor(),
             StringPrintf("the profile is for sensor 0x%04x, this mouse has sensor 0x%04x",
                          std::uint32_t(r_.dwSensor), Sensor()),
             [&](const ProfileFile& d) { r_.dwSensor = d.dwSensor; });
        Rule(In(r_.nKeySet, 0, kKeySets - 1),
             StringPrintf("key set %lld is not 1-%d", static_cast<long long>(r_.nKeySet) + 1,
                          kKeySets),
             [&](const ProfileFile& d) { r_.nKeySet = d.nKeySet; });
    }

    bool IsDefaultFunction(const KeyAssignment& key, int button) const {
        for (const auto& set : section_.keys) {
            const KeyAssignment& def = set[static_cast<std::size_t>(button)];
            if (key.dwFunID == def.dwFunID && key.dwParameter == def.dwParameter) return true;
        }
        return false;
    }

    bool OfferedSpecial(const KeyAssignment& key) const {
        const std::uint32_t parameter = key.dwParameter;
        switch (std::uint32_t(key.dwFunID)) {
            case KF_DISABLE:
            case KF_LED_TOGGLE:
            case KF_REPORT_RATE:
                return true;
            case KF_DPI_UP:
                return (section_.DpiMenuMask & 1) != 0;
            case KF_DPI_DOWN:
                return (section_.DpiMenuMask & 2) != 0;
            case KF_DPI_CYCLE:
                return (section_.DpiMenuMask & 4) != 0;
            case KF_PROFILE_SWITCH:
                return options_.ShowProSw != 0;
            case KF_FIRE:  // shots in bits 0-7, interval in bits 8-15, both at least 1
                return options_.ShowFireKey != 0 && (parameter & 0xFF) != 0 &&
                       (parameter & 0xFF00) != 0 && parameter <= 0xFFFF;
            case KF_DPI_LOCK:
                return parameter <= INT_MAX && DpiAtStep(Sensor(), static_cast<int>(parameter)) > 0;
            default:
                return false;
        }
    }

    // Whether the model offers the function with these parameters.
    bool Offered(const KeyAssignment& key) const {
        const std::uint32_t funId = key.dwFunID;
        switch (FunctionClassOf(funId)) {
            case KFC_MOUSE:
                return In(funId, KF_LEFT_CLICK, KF_TRIPLE_CLICK);
            case KFC_KEYBOARD:
                return funId == KF_KEY || funId == KF_KEY_COMBO || funId == KF_KEY_FROM_DEVICE;
            case KFC_APPKEY:
            case KFC_MEDIA: {
                const std::optional<std::uint16_t> usage = ConsumerUsageOf(funId);
                return usage && *usage != kNoConsumerUsage;
            }
            case KFC_MACRO:
                return funId == KF_MACRO && options_.ShowMacro != 0;
            case KFC_SPECIAL:
                return OfferedSpecial(key);
            case KFC_EXKEY: {
                const std::uint32_t index = FunctionCodeOf(funId);
                return index < static_cast<std::uint32_t>(kExKeyCount) &&
                       section_.ExKey[index] != 0 &&
                       std::uint32_t(key.dwParameter) == std::uint32_t(section_.ExKey[index]);
            }
            default:
                return false;
        }
    }

    void Keys() {
        for (int s = 0; s < kKeySets; ++s) {
            for (int b = 0; b < kKeysPerSet; ++b) {
                KeyAssignment& key = r_.Key[s][b];
                const auto set = static_cast<std::size_t>(s);
                const auto button = static_cast<std::size_t>(b);
                const std::uint32_t matrix = section_.keys[set][button].nMatrixIndex;
                const std::uint32_t firstMatrix = section_.keys[0][button].nMatrixIndex;
                auto restore = [&](const ProfileFile& d) { key = d.Key[s][b]; };
                const std::string name = StringPrintf("button %d of key set %d", b + 1, s + 1);
                if (key.nMatrixIndex != matrix && key.nMatrixIndex != firstMatrix) {
                    Rule(false,
                         StringPrintf("%s has key matrix position %u, this mouse has %u",
                                      name.c_str(), std::uint32_t(key.nMatrixIndex), matrix),
                         restore);
                    continue;
                }
                if (key.nMatrixIndex == 0) continue;  // never written to the mouse
                Rule(IsDefaultFunction(key, b) || Offered(key),
                     StringPrintf(
                         "%s has function 0x%08x (parameter 0x%x), which this mouse does not "
                         "offer",
                         name.c_str(), std::uint32_t(key.dwFunID), std::uint32_t(key.dwParameter)),
                     restore);
            }
            KeepLeftClick(s);
        }
    }

    static bool HoldsLeftClick(const KeyAssignment* keys) {
        for (int b = 0; b < kKeysPerSet; ++b) {
            if (keys[b].dwFunID == KF_LEFT_CLICK && keys[b].nMatrixIndex != 0) return true;
        }
        return false;
    }

    void KeepLeftClick(int s) {
        const auto set = static_cast<std::size_t>(s);
        if (!HoldsLeftClick(section_.keys[set].data())) return;
        Rule(HoldsLeftClick(r_.Key[s]),
             StringPrintf("key set %d has no button with the left click", s + 1),
             [&](const ProfileFile& d) { std::memcpy(r_.Key[s], d.Key[s], sizeof r_.Key[s]); });
    }

    void Pointer() {
        MouseSysParam& sys = r_.stSys;
        const bool ok = In(sys.nWheelLines, 0, kMaxWheelLines) &&
                        In(sys.nDoubleClickTime, kMinDoubleClickMs, kMaxDoubleClickMs) &&
                        In(sys.nMouseSpeed, kMinPointerSpeed, kMaxPointerSpeed) &&
                        IsFlag(sys.bEnhancePrecision) && In(sys.nMouseTrails, 0, kMaxPointerTrails);
        Rule(ok,
             StringPrintf(
                 "pointer settings (wheel %d lines, double-click %d ms, speed %d, precision "
                 "%d, trails %d) are outside 0-%d, %d-%d, %d-%d, 0-1, 0-%d",
                 int(sys.nWheelLines), int(sys.nDoubleClickTime), int(sys.nMouseSpeed),
                 int(sys.bEnhancePrecision), int(sys.nMouseTrails), kMaxWheelLines,
                 kMinDoubleClickMs, kMaxDoubleClickMs, kMinPointerSpeed, kMaxPointerSpeed,
                 kMaxPointerTrails),
             [&](const ProfileFile& d) { sys = d.stSys; });
        const std::uint32_t rate = r_.dwReportRate;
        Rule(std::find(std::begin(kReportRates), std::end(kReportRates), rate) !=
                 std::end(kReportRates),
             StringPrintf("report rate 0x%x is not 0x125, 0x250, 0x500 or 0x1000", rate),
             [&](const ProfileFile& d) { r_.dwReportRate = d.dwReportRate; });
    }

    bool OnSensorStep(std::uint32_t dpi, int level) const {
        const auto n = static_cast<std::size_t>(level);
        if (dpi == static_cast<std::uint32_t>(section_.DPI[n]) && dpi != 0) return true;
        if (dpi == 0 || dpi > 0xFFFF || DpiStepIndex(Sensor(), static_cast<int>(dpi)) < 0) {
            return false;
        }
        const auto& [low, high] = section_.DpiLimit[n];
        return (low == 0 && high == 0) || In(dpi, low, high);
    }

    void Dpi() {
        Rule(IsFlag(r_.bDpiXY), StringPrintf("the X/Y switch %d is not 0 or 1", int(r_.bDpiXY)),
             [&](const ProfileFile& d) { r_.bDpiXY = d.bDpiXY; });
        Rule(
            In(r_.nDpiLevels, 1, SectionLevels()),
            StringPrintf("%d DPI levels, this mouse has 1-%d", int(r_.nDpiLevels), SectionLevels()),
            [&](const ProfileFile& d) { r_.nDpiLevels = d.nDpiLevels; });
        Rule(In(r_.nCurDpiLevel, 0, static_cast<long long>(r_.nDpiLevels) - 1),
             StringPrintf("current DPI level %lld is not one of the %d levels",
                          static_cast<long long>(r_.nCurDpiLevel) + 1, int(r_.nDpiLevels)),
             [&](const ProfileFile&) { r_.nCurDpiLevel = 0; });
        for (int i = 0; i < SectionLevels(); ++i) {
            DpiLevel& level = r_.Dpi[i];
            auto restore = [&](const ProfileFile& d) { level = d.Dpi[i]; };
            Rule(OnSensorStep(level.dwDpi, i) && OnSensorStep(level.dwDpiY, i),
                 StringPrintf("DPI level %d (%u x %u) is not on the steps of sensor 0x%04x", i + 1,
                              std::uint32_t(level.dwDpi), std::uint32_t(level.dwDpiY), Sensor()),
                 restore);
            Rule(level.dwColor <= kMaxColor && IsFlag(level.bUnused),
                 StringPrintf("DPI level %d has colour 0x%x and unused mark %d", i + 1,
                              std::uint32_t(level.dwColor), int(level.bUnused)),
                 restore);
        }
    }

    template <typename Field>
    void Choice(Field& field, bool ok, const std::string& problem, Field ProfileFile::*member) {
        Rule(ok, problem, [&](const ProfileFile& d) { field = d.*member; });
    }

    bool SleepChoice(std::int32_t seconds) const {
        if (seconds == section_.SleepTime) return true;
        const int count =
            std::clamp(section_.SleepValCount, 0, static_cast<int>(section_.SleepVal.size()));
        for (int i = 0; i < count; ++i) {
            if (static_cast<long long>(section_.SleepVal[static_cast<std::size_t>(i)]) == seconds) {
                return true;
            }
        }
        return false;
    }

    void SingleSettings() {
        const int low = options_.DebounceRange & 0xFF;
        const int high = (options_.DebounceRange >> 8) & 0xFF;
        Choice(r_.nDebounce, In(r_.nDebounce, low, high),
               StringPrintf("debounce %d ms is outside %s", int(r_.nDebounce),
                            RangeText(low, high).c_str()),
               &ProfileFile::nDebounce);
        Choice(
            r_.nSleepTime, SleepChoice(r_.nSleepTime),
            StringPrintf("sleep time %d s is not one of this mouse's choices", int(r_.nSleepTime)),
            &ProfileFile::nSleepTime);
        Choice(r_.nAutoSleep,
               std::find(kAutoSleepSteps.begin(), kAutoSleepSteps.end(), r_.nAutoSleep) !=
                   kAutoSleepSteps.end(),
               StringPrintf("auto-sleep %d (tens of seconds) is not one of the choices",
                            int(r_.nAutoSleep)),
               &ProfileFile::nAutoSleep);
        Choice(r_.nLOD, In(r_.nLOD, 0, kMaxLiftOffCode),
               StringPrintf("lift-off distance %d is outside 0-%d", int(r_.nLOD), kMaxLiftOffCode),
               &ProfileFile::nLOD);
        struct Switch {
            const char* name;
            LeI32 ProfileFile::*member;
        };
        static constexpr Switch kSwitches[] = {
            {"ripple control", &ProfileFile::nRipple},
            {"angle snapping", &ProfileFile::nFixLine},
            {"light off on moving", &ProfileFile::bLightOffOnMoving},
            {"motion sync", &ProfileFile::bMotionSync},
            {"sensor mode", &ProfileFile::nSensorMode},
        };
        for (const Switch& s : kSwitches) {
            LeI32& field = r_.*s.member;
            Choice(field, IsFlag(field), StringPrintf("%s %d is not 0 or 1", s.name, int(field)),
                   s.member);
        }
    }

    // A zone that is off may keep zero steps; one that is on needs steps counted from 1.
    static bool StepOk(std::uint32_t step, std::uint32_t mode, std::uint32_t max) {
        return In(step, mode == 0 ? 0 : 1, max);
    }

    void Zone(RgbEffect& zone, RgbEffect ProfileFile::*member, const char* name,
              std::uint32_t maxMode, std::uint32_t maxSpeed) {
        const std::uint32_t mode = zone.nMode;
        Rule(
            mode <= maxMode && StepOk(zone.nSpeed, mode, maxSpeed) &&
                StepOk(zone.nLight, mode, kMaxLightingStep) && zone.dwColor <= kMaxColor,
            StringPrintf("%s lighting (effect %u, speed %u, brightness %u, colour 0x%x) is outside "
                         "effect 0-%u, speed 1-%u, brightness 1-%u",
                         name, mode, std::uint32_t(zone.nSpeed), std::uint32_t(zone.nLight),
                         std::uint32_t(zone.dwColor), maxMode, maxSpeed, kMaxLightingStep),
            [&](const ProfileFile& d) { zone = d.*member; });
    }

    void Lighting() {
        DpiEffect& dpi = r_.stDpiEffect;
        const std::uint32_t mode = dpi.nMode;
        Rule(mode <= kMaxDpiIndicatorEffect && StepOk(dpi.nSpeed, mode, kMaxDpiIndicatorSpeed) &&
                 StepOk(dpi.nLight, mode, kMaxLightingStep),
             StringPrintf(
                 "DPI indicator (effect %u, speed %u, brightness %u) is outside effect 0-%u, "
                 "speed 1-%u, brightness 1-%u",
                 mode, std::uint32_t(dpi.nSpeed), std::uint32_t(dpi.nLight), kMaxDpiIndicatorEffect,
                 kMaxDpiIndicatorSpeed, kMaxLightingStep),
             [&](const ProfileFile& d) { dpi = d.stDpiEffect; });
        Zone(r_.stMainRGB, &ProfileFile::stMainRGB, "main", kMaxMainEffect, kMaxLightingStep);
        Zone(r_.stLogoRGB, &ProfileFile::stLogoRGB, "logo", kMaxLogoEffect, kMaxLogoSpeed);
    }

    ProfileFile& r_;
    const ProfileFile* d_;
    const DeviceSection& section_;
    const AppOptions& options_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> CheckProfileRecord(const ProfileFile& record, const DeviceSection& section,
                                            const AppOptions& options) {
    std::vector<std::string> problems;
    if (record.dwMagic != kProfileMagic || record.dwProfileID == 0) {
        problems.push_back("the record has no profile magic or no id");
        return problems;
    }
    ProfileFile copy = record;  // the review only reads it when there are no defaults
    return Review(copy, nullptr, section, options).Run();
}

int RepairProfileRecord(ProfileFile& record, const ProfileFile& defaults,
                        const DeviceSection& section, const AppOptions& options) {
    SetProfileName(record, ProfileName(record));
    if (record.dwMagic != kProfileMagic || record.dwProfileID == 0) {
        DbgLog("Profile record: no magic or id, default record used");
        record = defaults;
        return 1;
    }
    const std::vector<std::string> problems = Review(record, &defaults, section, options).Run();
    for (const std::string& problem : problems) {
        DbgLog("Profile record: %s; the default is used", problem.c_str());
    }
    return static_cast<int>(problems.size());
}

}  // namespace vantor
