#include "app/store/profile_bounds.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

#include "base/log.h"
#include "base/string_format.h"
#include "keys/key_functions.h"
#include "profile/combo_slot.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr std::uint32_t kReportRates[] = {0x125, 0x250, 0x500, 0x1000};
constexpr std::uint16_t kNoConsumerUsage = 0xFFFF;

// Where a field is shown, as language text keys from the page to the setting.
using Place = std::vector<const char*>;
constexpr const char* kButtonsPage = "tc_page1";
constexpr const char* kPerformancePage = "tc_page2";
constexpr const char* kLightingPage = "tc_page4";

bool In(long long value, long long low, long long high) {
    return value >= low && value <= high;
}

bool IsFlag(std::int32_t value) {
    return value == 0 || value == 1;
}

std::string RangeText(const StepRange& range) {
    return std::to_string(range.minimum) + "-" + std::to_string(range.maximum);
}

// The LedOpt entry of main effect k (1-6) is k - 1; effect 0 uses the last entry.
const LedOption* MainEffectOption(const AppOptions& options, std::uint32_t effect) {
    if (effect > LimitsOf(LightZone::kMain).maxEffect) return nullptr;
    return &options.LedOpt[effect == 0 ? options.LedOpt.size() - 1 : effect - 1];
}

// Walks the rules over one record. Each broken rule adds its line; with `defaults` the
// field is also replaced by the default's.
class Review {
  public:
    Review(ProfileFile& record, const ProfileFile* defaults, const DeviceSection& section,
           const AppOptions& options)
        : r_(record), d_(defaults), section_(section), options_(options) {}

    std::vector<ProfileProblem> Run() {
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
    void Rule(bool ok, Place place, const std::string& problem, Restore restore) {
        if (ok) return;
        problems_.push_back({std::move(place), problem});
        if (d_ != nullptr) restore(*d_);
    }

    std::uint32_t Sensor() const { return static_cast<std::uint32_t>(section_.Sensor); }
    int SectionLevels() const { return std::clamp(section_.DM, 1, kDpiLevels); }

    void Identity() {
        Rule(r_.dwSensor == Sensor(), {},
             StringPrintf("the profile is for sensor 0x%04x, this mouse has sensor 0x%04x",
                          std::uint32_t(r_.dwSensor), Sensor()),
             [&](const ProfileFile& d) { r_.dwSensor = d.dwSensor; });
        Rule(In(r_.nKeySet, 0, kKeySets - 1), {kButtonsPage},
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
                    Rule(false, {kButtonsPage},
                         StringPrintf("%s has key matrix position %u, this mouse has %u",
                                      name.c_str(), std::uint32_t(key.nMatrixIndex), matrix),
                         restore);
                    continue;
                }
                if (key.nMatrixIndex == 0) continue;  // never written to the mouse
                Rule(IsDefaultFunction(key, b) || Offered(key), {kButtonsPage},
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
        Rule(HoldsLeftClick(r_.Key[s]), {kButtonsPage},
             StringPrintf("key set %d has no button with the left click", s + 1),
             [&](const ProfileFile& d) { std::memcpy(r_.Key[s], d.Key[s], sizeof r_.Key[s]); });
    }

    void Pointer() {
        MouseSysParam& sys = r_.stSys;
        const bool ok =
            (sys.nWheelLines == kWheelOneScreen || kWheelLines.Contains(sys.nWheelLines)) &&
            kDoubleClickMs.Contains(sys.nDoubleClickTime) &&
            kPointerSpeeds.Contains(sys.nMouseSpeed) && IsFlag(sys.bEnhancePrecision) &&
            kPointerTrails.Contains(sys.nMouseTrails);
        Rule(ok, {kPerformancePage, "tc_adv_str18"},
             StringPrintf("pointer settings (wheel %d lines, double-click %d ms, speed %d, "
                          "precision %d, trails %d) are outside %s or %d, %s, %s, 0-1, %s",
                          int(sys.nWheelLines), int(sys.nDoubleClickTime), int(sys.nMouseSpeed),
                          int(sys.bEnhancePrecision), int(sys.nMouseTrails),
                          RangeText(kWheelLines).c_str(), kWheelOneScreen,
                          RangeText(kDoubleClickMs).c_str(), RangeText(kPointerSpeeds).c_str(),
                          RangeText(kPointerTrails).c_str()),
             [&](const ProfileFile& d) { sys = d.stSys; });
        const std::uint32_t rate = r_.dwReportRate;
        Rule(std::find(std::begin(kReportRates), std::end(kReportRates), rate) !=
                 std::end(kReportRates),
             {kPerformancePage, "tc_adv_str6"},
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
        const Place levels = {kPerformancePage, "tc_adv_str19"};
        Rule(IsFlag(r_.bDpiXY), levels,
             StringPrintf("the X/Y switch %d is not 0 or 1", int(r_.bDpiXY)),
             [&](const ProfileFile& d) { r_.bDpiXY = d.bDpiXY; });
        Rule(
            In(r_.nDpiLevels, 1, SectionLevels()), levels,
            StringPrintf("%d DPI levels, this mouse has 1-%d", int(r_.nDpiLevels), SectionLevels()),
            [&](const ProfileFile& d) { r_.nDpiLevels = d.nDpiLevels; });
        Rule(In(r_.nCurDpiLevel, 0, static_cast<long long>(r_.nDpiLevels) - 1), levels,
             StringPrintf("current DPI level %lld is not one of the %d levels",
                          static_cast<long long>(r_.nCurDpiLevel) + 1, int(r_.nDpiLevels)),
             [&](const ProfileFile&) { r_.nCurDpiLevel = 0; });
        for (int i = 0; i < SectionLevels(); ++i) {
            DpiLevel& level = r_.Dpi[i];
            auto restore = [&](const ProfileFile& d) { level = d.Dpi[i]; };
            Rule(OnSensorStep(level.dwDpi, i) && OnSensorStep(level.dwDpiY, i), levels,
                 StringPrintf("DPI level %d (%u x %u) is not on the steps of sensor 0x%04x", i + 1,
                              std::uint32_t(level.dwDpi), std::uint32_t(level.dwDpiY), Sensor()),
                 restore);
            Rule(level.dwColor <= kMaxColor && IsFlag(level.bUnused), levels,
                 StringPrintf("DPI level %d has colour 0x%x and unused mark %d", i + 1,
                              std::uint32_t(level.dwColor), int(level.bUnused)),
                 restore);
        }
    }

    template <typename Field>
    void Choice(Field& field, bool ok, Place place, const std::string& problem,
                Field ProfileFile::*member) {
        Rule(ok, std::move(place), problem, [&](const ProfileFile& d) { field = d.*member; });
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
        const StepRange debounce = DebounceLimitsOf(options_.DebounceRange);
        Choice(r_.nDebounce, debounce.Contains(r_.nDebounce), {kPerformancePage, "tc_adv_str21"},
               StringPrintf("debounce %d ms is outside %s", int(r_.nDebounce),
                            RangeText(debounce).c_str()),
               &ProfileFile::nDebounce);
        Choice(
            r_.nSleepTime, SleepChoice(r_.nSleepTime), {kLightingPage, "tc_adv_str20"},
            StringPrintf("sleep time %d s is not one of this mouse's choices", int(r_.nSleepTime)),
            &ProfileFile::nSleepTime);
        Choice(r_.nAutoSleep,
               std::find(kAutoSleepSteps.begin(), kAutoSleepSteps.end(), r_.nAutoSleep) !=
                   kAutoSleepSteps.end(),
               {kPerformancePage, "tc_msg27"},
               StringPrintf("auto-sleep %d (tens of seconds) is not one of the choices",
                            int(r_.nAutoSleep)),
               &ProfileFile::nAutoSleep);
        Choice(r_.nLOD, kLiftOffCodes.Contains(r_.nLOD), {kPerformancePage, "tc_adv_str9"},
               StringPrintf("lift-off distance %d is outside %s", int(r_.nLOD),
                            RangeText(kLiftOffCodes).c_str()),
               &ProfileFile::nLOD);
        struct Switch {
            const char* name;
            const char* page;
            const char* textKey;
            LeI32 ProfileFile::*member;
        };
        static constexpr Switch kSwitches[] = {
            {"ripple control", kPerformancePage, "tc_adv_str12", &ProfileFile::nRipple},
            {"angle snapping", kPerformancePage, "tc_adv_str13", &ProfileFile::nFixLine},
            {"light off on moving", kLightingPage, "tc_adv_str23", &ProfileFile::bLightOffOnMoving},
            {"motion sync", kPerformancePage, "tc_adv_str17", &ProfileFile::bMotionSync},
            {"sensor mode", kPerformancePage, "tc_msg4", &ProfileFile::nSensorMode},
        };
        for (const Switch& s : kSwitches) {
            LeI32& field = r_.*s.member;
            Choice(field, IsFlag(field), {s.page, s.textKey},
                   StringPrintf("%s %d is not 0 or 1", s.name, int(field)), s.member);
        }
    }

    // One lighting zone: effect, speed, brightness and colour. `speedUsed` and `lightUsed`
    // say whether the record's effect has that step (an off zone has neither).
    void Zone(const char* name, const char* zoneKey, LightZone zone, std::uint32_t mode,
              std::uint32_t speed, std::uint32_t light, std::uint32_t color, bool speedUsed,
              bool lightUsed, const std::function<void(const ProfileFile&)>& restore) {
        const ZoneLimits limits = LimitsOf(zone);
        const bool on = mode != 0;
        const std::string colorText =
            zone == LightZone::kDpiIndicator ? std::string() : StringPrintf(", colour 0x%x", color);
        const auto problem = [&](const char* what) {
            return StringPrintf(
                "%s (effect %u, speed %u, brightness %u%s): the %s is outside "
                "effect 0-%u, speed %s, brightness %s",
                name, mode, speed, light, colorText.c_str(), what, limits.maxEffect,
                RangeText(limits.speed).c_str(), RangeText(limits.brightness).c_str());
        };
        if (mode > limits.maxEffect) {
            Rule(false, {kLightingPage, zoneKey, "tc_adv_str8"}, problem("effect"), restore);
            return;
        }
        Rule(ZoneStepAllowed(speed, limits.speed, on && speedUsed),
             {kLightingPage, zoneKey, "tc_adv_str10"}, problem("speed"), restore);
        Rule(ZoneStepAllowed(light, limits.brightness, on && lightUsed),
             {kLightingPage, zoneKey, "tc_adv_str7"}, problem("brightness"), restore);
        Rule(color <= kMaxColor, {kLightingPage, zoneKey}, problem("colour"), restore);
    }

    void Lighting() {
        const DpiEffect& dpi = r_.stDpiEffect;
        Zone("DPI indicator", "tc_adv_str14", LightZone::kDpiIndicator, dpi.nMode, dpi.nSpeed,
             dpi.nLight, 0, true, true,
             [&](const ProfileFile& d) { r_.stDpiEffect = d.stDpiEffect; });
        const RgbEffect& main = r_.stMainRGB;
        Zone("main lighting", "tc_led_eft1", LightZone::kMain, main.nMode, main.nSpeed, main.nLight,
             main.dwColor, MainEffectHasSpeed(options_, main.nMode),
             MainEffectHasBrightness(options_, main.nMode),
             [&](const ProfileFile& d) { r_.stMainRGB = d.stMainRGB; });
        const RgbEffect& logo = r_.stLogoRGB;
        Zone("logo lighting", "tc_led_eft2", LightZone::kLogo, logo.nMode, logo.nSpeed, logo.nLight,
             logo.dwColor, LogoEffectHasSpeed(logo.nMode), true,
             [&](const ProfileFile& d) { r_.stLogoRGB = d.stLogoRGB; });
    }

    ProfileFile& r_;
    const ProfileFile* d_;
    const DeviceSection& section_;
    const AppOptions& options_;
    std::vector<ProfileProblem> problems_;
};

}  // namespace

bool MainEffectHasSpeed(const AppOptions& options, std::uint32_t effect) {
    const LedOption* option = MainEffectOption(options, effect);
    return option != nullptr && option->param[0] != 0;
}

bool MainEffectHasBrightness(const AppOptions& options, std::uint32_t effect) {
    const LedOption* option = MainEffectOption(options, effect);
    return option != nullptr && option->param[1] != 0;
}

std::vector<ProfileProblem> CheckProfileRecord(const ProfileFile& record,
                                               const DeviceSection& section,
                                               const AppOptions& options) {
    if (record.dwMagic != kProfileMagic || record.dwProfileID == 0) {
        return {{{}, "the record has no profile magic or no id"}};
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
    const std::vector<ProfileProblem> problems = Review(record, &defaults, section, options).Run();
    for (const ProfileProblem& problem : problems) {
        DbgLog("Profile record: %s; the default is used", problem.detail.c_str());
    }
    return static_cast<int>(problems.size());
}

}  // namespace vantor
